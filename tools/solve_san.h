// Moves in the English algebraic notation composers read (Nbd2, exd6,
// e8=Q+, O-O-O#), written for the position on the engine's board.
#pragma once

#include <cstdint>

#include "types.h"

constexpr int SAN_SIZE = 12;

// The text of the legal move `m` of `side`, with its check or mate mark.
// Generates into the current ply's slice and the one above it.
void san_text(uint8_t side, const Move& m, char text[SAN_SIZE]);
