// The root move list, the slice of ply 1 in the move stack: its legality
// and book pass, the one-ply first pass that orders it, and the moves kept
// in it between iterations.
#pragma once

#include <cstdint>

#include "board.h"
#include "types.h"

constexpr int16_t ROOT_MATED = -9999;  // an illegal root move, or no move at all

inline int root_list_first() { return list_start[1]; }
inline int root_list_end() { return list_start[2]; }

// The root move heads the line; its flags go with it so that a promotion is
// printed with its letter. It is made when this is called, so the root
// position's lock is the one its game record entry saved.
void set_root_move(const Move& m);

// The table's move of the root position becomes the hash move, if any.
void look_up_hash_move(uint8_t side);
// Makes a root move; an illegal one is scored as mated, taken back, and
// false is returned.
bool make_root_move(uint8_t side, Move& m);

// Generates the root moves, counts the legal ones (none: the search is
// over), and gives the book its chance.
void generate_root_moves(uint8_t side);
// Iteration 1: every move with a one-ply search, then the list re-scored
// and sorted; returns the best score.
int16_t first_pass(uint8_t side);

// Repetition or fifty moves after the root move (still made).
bool root_draw();
// NewPonder: at iteration 6 keep only the moves close to the first.
void narrow_ponder_moves();
// Moves the entry at `index` up to `to`, the ones between sliding down.
void move_ahead(int index, int to);
// Moves the entry at `index` to the front of the list, the others sliding down.
void bring_to_front(int index);
// The entry of the best move (pv_line[1]); the first when it is not found.
int best_entry();
