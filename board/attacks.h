// Attack and check tests.
#pragma once

#include <bit>
#include <cstdint>

#include "board.h"
#include "board/bitboards.h"

// 1 when a man of by_side attacks `square` (its own occupant plays no part).
// The cheap pawn, king and knight tests come first; a slider on a line with
// the square attacks it when nothing stands between them.
inline int16_t square_attacked(int square, uint8_t by_side) {
  if (pawn_attacks[by_side][square] != 0) return 1;
  const uint64_t* men = men_bits[by_side];
  if ((king_reach[square] & men[KING]) || (knight_reach[square] & men[KNIGHT])) return 1;
  uint64_t sliders = ((men[BISHOP] | men[QUEEN]) & diagonal_reach[square]) |
                     ((men[ROOK] | men[QUEEN]) & straight_reach[square]);
  for (; sliders != 0; sliders &= sliders - 1)
    if ((between_squares[square][std::countr_zero(sliders)] & occupied_bits) == 0) return 1;
  return 0;
}

inline bool in_check(uint8_t side) { return square_attacked(piece_list[side][0], side ^ 1) != 0; }
