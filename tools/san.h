// Finding the legal move an English SAN word names (Nbd2, exd8=N, O-O-O, e4+).
#pragma once

#include <cstdint>

#include "types.h"

enum : int {
  SAN_FOUND = 0,
  SAN_UNREADABLE = 1,  // not move text at all
  SAN_ILLEGAL = 2,     // no legal move fits
  SAN_AMBIGUOUS = 3    // more than one legal move fits
};

// Generates the legal moves of `side` on the current position (at ply 1) and
// returns the one `text` names in *move. The position is left as it was.
int find_san_move(uint8_t side, const char* text, Move* move);

const char* san_verdict_name(int verdict);
