// Playing and taking back moves on the global position.
#pragma once

#include <cstdint>

#include "board.h"
#include "board/attacks.h"
#include "types.h"

// Plays a generated move of `side`; only from, to and flags are read.
void make_move(uint8_t side, const Move& move);
// Takes back the move last made, which must be `move` by `side`.
void unmake_move(uint8_t side, const Move& move);

// Plays the move of `side` and keeps it when it leaves that king safe; an
// illegal one is taken back and false returned. A move generated as an
// evasion is known to be legal: `evasion` skips the test.
inline bool make_if_legal(uint8_t side, const Move& move, bool evasion = false) {
  make_move(side, move);
  if (evasion || !in_check(side)) return true;
  unmake_move(side, move);
  return false;
}

enum : int { CASTLE_TEST = 0, CASTLE_PLAY = 1, CASTLE_TAKE_BACK = 2 };
// CASTLE_TEST returns 1 when castling king_from -> king_to is allowed;
// CASTLE_PLAY and CASTLE_TAKE_BACK move king and rook and return 1.
int16_t castle_move(uint8_t side, int king_from, int king_to, int mode);

// The man on `square` to the end of its side's list, as taking it and
// putting it back leaves it.
void list_move_to_end(uint8_t side, int square);
// What making and taking back the move of `side` leaves behind besides the
// position itself, for a move tried without playing it: the destination as
// last_to_square, and a captured man and a promoting pawn at the ends of
// their lists (move order and ordering scores depend on both).
void leave_list_traces(uint8_t side, int from, int to, uint32_t flags);  // the lists part
inline void leave_trial_traces(uint8_t side, int from, int to, uint32_t flags) {
  last_to_square = static_cast<uint8_t>(to);
  if (!(flags & QUIET)) leave_list_traces(side, from, to, flags);
}
