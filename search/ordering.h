// Move ordering: scores given at generation, selection, and the killer,
// mate-killer and history tables.
#pragma once

#include <cstdint>

#include "types.h"

constexpr int HISTORY_ENTRIES = 4096;  // indexed by from << 6 | to

extern uint16_t killer1[PLY_SLOTS];
extern uint16_t killer2[PLY_SLOTS];
extern uint16_t mate_killer[PLY_SLOTS];
extern int16_t* history[2];  // heap tables of HISTORY_ENTRIES, one per side

// Appends the move (four for a promotion) to the current ply's list with its
// ordering score; xside is the opponent of the moving side.
void score_move(int from, int to, uint32_t flags, uint8_t xside);
// Swaps the highest-scored move of move_stack[first..last] to `first`
// (the earliest of equal scores).
void pick_best_move(int first, int last);
