// Move ordering: killer, mate-killer and history tables.
#pragma once

#include <cstdint>

#include "types.h"

constexpr int HISTORY_ENTRIES = 4096;  // indexed by from << 6 | to

extern uint16_t killer1[PLY_SLOTS];
extern uint16_t killer2[PLY_SLOTS];
extern uint16_t mate_killer[PLY_SLOTS];
extern int16_t* history[2];  // heap tables of HISTORY_ENTRIES, one per side
