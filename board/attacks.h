// Attack and check tests.
#pragma once

#include <cstdint>

#include "board.h"

// 1 when a man of by_side attacks `square` (its own occupant plays no part).
int16_t square_attacked(int square, uint8_t by_side);

inline bool in_check(uint8_t side) { return square_attacked(piece_list[side][0], side ^ 1) != 0; }
