// Attack and check tests.
#pragma once

#include <bit>
#include <cstdint>

#include "board.h"
#include "board/bitboards.h"

// Whether a slider among `sliders` (standing on a line with `square`) has
// nothing of `occupied` between it and the square.
inline bool open_line(int square, uint64_t sliders, uint64_t occupied) {
  for (; sliders != 0; sliders &= sliders - 1)
    if ((between_squares[square][std::countr_zero(sliders)] & occupied) == 0) return true;
  return false;
}

// The sliders of `men` that stand on a line with `square`.
inline uint64_t sliders_in_line(const uint64_t* men, int square) {
  return ((men[BISHOP] | men[QUEEN]) & diagonal_reach[square]) | ((men[ROOK] | men[QUEEN]) & straight_reach[square]);
}

// 1 when a man of by_side attacks `square` (its own occupant plays no part).
// The cheap pawn, king and knight tests come first.
inline int16_t square_attacked(int square, uint8_t by_side) {
  if (pawn_attacks[by_side][square] != 0) return 1;
  const uint64_t* men = men_bits[by_side];
  if ((king_reach[square] & men[KING]) || (knight_reach[square] & men[KNIGHT])) return 1;
  return open_line(square, sliders_in_line(men, square), occupied_bits) ? 1 : 0;
}

inline bool in_check(uint8_t side) { return square_attacked(piece_list[side][0], side ^ 1) != 0; }

// Whether the move (QUIET, CAPTURE or EN_PASSANT) of `side` would leave its
// own king attacked, worked out without playing it: the same answer as
// square_attacked on the king after make_move.
inline bool exposes_king(int from, int to, uint32_t flags, uint8_t side) {
  const uint64_t* foe = men_bits[side ^ 1];
  uint64_t taken = square_bit(to);  // a man captured there attacks no more
  uint64_t occupied = (occupied_bits & ~square_bit(from)) | square_bit(to);
  if (flags & EN_PASSANT) {
    taken = square_bit(en_passant_victim(to));
    occupied ^= taken;
  }
  const int king = board[from] == KING ? to : piece_list[side][0];
  if ((pawn_reach[side][king] & foe[PAWN] & ~taken) || (knight_reach[king] & foe[KNIGHT] & ~taken) ||
      (king_reach[king] & foe[KING]))
    return true;
  return open_line(king, sliders_in_line(foe, king) & ~taken, occupied);
}
