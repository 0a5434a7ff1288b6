// Move generation into the current ply's slice of the move stack.
#pragma once

#include <cstdint>

#include "types.h"

// All pseudo-legal moves of `side`, castling and en passant included.
void generate_moves(uint8_t side);
// All legal moves of `side` except castling (used in check).
void generate_evasions(uint8_t side);
// The moves `side` has to consider: the legal evasions when in check (and
// then true is returned), else every pseudo-legal move.
bool generate_replies(uint8_t side);
// The legal move of `side` with this key and these flags (low 16 bits), as
// generated; false when there is none. Generates into the current ply's slice.
bool find_legal_move(uint8_t side, uint16_t key, uint16_t flags, Move* found);

void generate_piece_moves(int square, uint8_t side, uint8_t xside);
void generate_legal_piece_moves(int square, uint8_t side, uint8_t xside);
