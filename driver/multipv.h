// MultiPV at the root: each searched move's line recorded and shown, the
// moves kept in order of their scores.
#pragma once

#include <cstdint>

#include "types.h"

// With the root move `m` made: records its line at `position` (its index in
// the root list), builds what is shown for it, and prints the lines.
void record_multipv_line(uint8_t side, const Move& m, int position, uint8_t kind);
// Raises the root move at `index` past the moves before it that scored lower.
void raise_by_score(int index);
