// Castling rights and the en-passant square: the position's keys leave them
// out, yet they change which moves exist, so a result that must hold on the
// board (a proof) keys on them too.
#pragma once

#include <cstdint>

#include "board.h"

inline uint32_t position_rights() {
  uint32_t bits = ep_square > 0 ? static_cast<uint32_t>(ep_square) : 0;
  for (int side = WHITE; side <= BLACK; side++) {
    const int home = king_home[side];
    if (castled[side] != 0 || moved_count[home] != 0) continue;
    if (moved_count[home + 3] == 0) bits |= 1u << (8 + 2 * side);
    if (moved_count[home - 4] == 0) bits |= 1u << (9 + 2 * side);
  }
  return bits;
}
