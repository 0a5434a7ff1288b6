// Attack and check tests.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

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

// square_attacked(square, by) as it would answer once `mover` had played the
// move (from, to, flags), a QUIET, CAPTURE, EN_PASSANT or promotion move,
// worked out without playing it: first for `by` the mover's opponent, then
// for `by` the mover.
inline bool attacked_by_opponent_after(int square, uint8_t by, int from, int to, uint32_t flags) {
  const uint64_t to_bit = square_bit(to);
  // Whatever the move captures attacks no more.
  const uint64_t taken = (flags & EN_PASSANT) ? square_bit(en_passant_victim(to)) : to_bit;
  const uint64_t occupied = (occupied_bits & ~square_bit(from) & ~taken) | to_bit;
  const uint64_t* men = men_bits[by];
  if ((pawn_reach[by ^ 1][square] & men[PAWN] & ~taken) || (knight_reach[square] & men[KNIGHT] & ~taken) ||
      (king_reach[square] & men[KING]))
    return true;
  return open_line(square, sliders_in_line(men, square) & ~taken, occupied);
}

inline bool attacked_by_mover_after(int square, uint8_t by, int from, int to, uint32_t flags) {
  const uint64_t from_bit = square_bit(from), to_bit = square_bit(to);
  const uint64_t taken = (flags & EN_PASSANT) ? square_bit(en_passant_victim(to)) : to_bit;
  const uint64_t occupied = (occupied_bits & ~from_bit & ~taken) | to_bit;
  // The moving man leaves its piece's set and joins the arriving piece's.
  uint64_t men[PIECE_CODES];
  std::memcpy(men, men_bits[by], sizeof(men));
  const int piece = board[from];
  men[piece] ^= from_bit;
  men[(flags & PROMOTE) && !(flags & CASTLE) ? static_cast<int>(flags & PROMO_MASK) : piece] ^= to_bit;
  if ((pawn_reach[by ^ 1][square] & men[PAWN]) || (knight_reach[square] & men[KNIGHT]) ||
      (king_reach[square] & men[KING]))
    return true;
  return open_line(square, sliders_in_line(men, square), occupied);
}

inline bool attacked_after(int square, uint8_t by, uint8_t mover, int from, int to, uint32_t flags) {
  return by == mover ? attacked_by_mover_after(square, by, from, to, flags)
                     : attacked_by_opponent_after(square, by, from, to, flags);
}

// Whether the move of `side` would leave its own king attacked: the same
// answer as square_attacked on the king after make_move.
inline bool exposes_king(int from, int to, uint32_t flags, uint8_t side) {
  const int king = board[from] == KING ? to : piece_list[side][0];
  return attacked_by_opponent_after(king, side ^ 1, from, to, flags);
}
