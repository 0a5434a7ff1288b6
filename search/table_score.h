// The tables' answer as a search score.
#pragma once

#include <cstdint>

#include "board.h"
#include "search/tables.h"

// Whether the tables may know the position: few enough men. One count per
// node, from the square set the board keeps anyway.
inline bool tables_cover() { return tables_men != 0 && __builtin_popcountll(occupied_bits) <= tables_men; }

// The score of the position at ply p with `side` to move, on the search's
// scale: a mate at the ply of the mated node, a draw as the draw score.
// False when the tables do not know it, or the mate lies beyond the plies
// a line can hold.
bool table_score(uint8_t side, int p, int16_t* score);
