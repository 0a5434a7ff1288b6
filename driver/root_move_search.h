// One root move's search within an iteration. The first move is searched
// with the iteration's window; every later one is only tested for a mate
// (or a shorter one) with a null window, and searched again when it passes.
// Each new best line is proven and shown.
#pragma once

#include <cstdint>

#include "types.h"

// The window and scores of the iteration under way.
struct Iteration {
  int16_t alpha, beta;
  int16_t previous;  // the score the last iteration left
  int16_t best;      // the best score of this one
};

// The best root move of each iteration (kept across a ponder restart).
extern uint16_t best_by_depth[PLY_SLOTS + 1];

// The first root move of the iteration (made). Returns the kind of its new
// score (SHOWN_EXACT, SHOWN_LOWER, SHOWN_UPPER), or SHOWN_NONE when the
// search was stopped before it had one.
uint8_t search_first_move(uint8_t side, Move& m, Iteration& it);
// A later root move (made). Returns true when it became the best of the
// iteration; *kind tells what its score is (SHOWN_NONE when stopped before
// a result).
bool test_later_move(uint8_t side, Move& m, Iteration& it, uint8_t* kind);
