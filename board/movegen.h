// Move generation into the current ply's slice of the move stack.
#pragma once

#include <cstdint>

// All pseudo-legal moves of `side`, castling and en passant included.
void generate_moves(uint8_t side);
// All legal moves of `side` except castling (used in check).
void generate_evasions(uint8_t side);

void generate_piece_moves(int square, uint8_t side, uint8_t xside);
void generate_legal_piece_moves(int square, uint8_t side, uint8_t xside);
