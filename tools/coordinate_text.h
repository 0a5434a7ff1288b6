// Coordinate text of a generated move ("e2e4", "e7e8q"), for the tools and
// tests that name moves without touching the engine's notation buffers.
#pragma once

#include "types.h"

// Writes at most five characters and the terminator.
inline void coordinate_text(const Move& move, char* text) {
  text[0] = static_cast<char>('a' + file_of(move.from));
  text[1] = static_cast<char>('1' + rank_of(move.from));
  text[2] = static_cast<char>('a' + file_of(move.to));
  text[3] = static_cast<char>('1' + rank_of(move.to));
  int n = 4;
  if ((move.flags & PROMOTE) && !(move.flags & CASTLE)) text[n++] = " pnbrqk"[move.flags & PROMO_MASK];
  text[n] = '\0';
}
