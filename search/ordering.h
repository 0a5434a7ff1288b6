// Move ordering: scores given at generation, selection, and the killer,
// mate-killer and history tables.
#pragma once

#include <cstdint>

#include "types.h"

constexpr int HISTORY_ENTRIES = 4096;  // indexed by from << 6 | to
constexpr int16_t HISTORY_START = -31700;  // every entry at the start of a search

extern PER_THREAD uint16_t killer1[PLY_SLOTS];
extern PER_THREAD uint16_t killer2[PLY_SLOTS];
extern PER_THREAD uint16_t mate_killer[PLY_SLOTS];
extern PER_THREAD int16_t* history[2];  // heap tables of HISTORY_ENTRIES, one per side

// Sets every entry of both history tables to HISTORY_START.
void reset_history();

// Swaps the highest-scored move of move_stack[first..last] to `first`
// (the earliest of equal scores).
void pick_best_move(int first, int last);

// Killer, mate-killer and history update for the move that cut off or became
// the best of its node at the current ply; score is that move's result.
void update_move_tables(uint8_t side, const Move& move, int16_t score);
