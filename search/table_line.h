// Lines read from the endgame tables: each move the one that keeps the
// shortest mate for the winner and the longest defence for the loser.
#pragma once

#include <cstdint>

#include "types.h"

enum : int { TABLE_LINE_CONTRADICTS = -1 };

// The tables' choice among move_stack[first .. last] of `side` at ply p:
// its index in *best and its score (on the search's scale, from side's view)
// in *score. False when some legal move's result is unknown to the tables or
// there is no legal move. Leaves the position as it was.
bool table_choice(uint8_t side, int p, int first, int last, int* best, int16_t* score);

// The tables' line from the current position, `side` to move at line index
// (and ply) i: moves[i ..] and flags[i ..], ended by a 0 move. Returns the
// index of that 0 move: i when the tables do not know the position, and
// TABLE_LINE_CONTRADICTS when a move's result is not the one the position's
// result promises (a damaged table). A drawn position's line is one move.
// Leaves the position as it was.
int table_line(uint8_t side, int i, int last_index, uint16_t* moves, uint16_t* flags);
