// The lines the root prints: a mate is shown only with a line that plays it
// out, move for move, to checkmate at its announced distance.
#pragma once

#include <cstdint>

#include "search/pv.h"
#include "types.h"

// Moves the prover may make for one line before it gives up.
constexpr uint32_t LINE_PROOF_BUDGET = 250000;

// With the root move `root` of `attacker` made on the board: the line to
// print for its search score. An exact mate score is followed through the
// transposition table as far as its entries agree with it, and proven and
// completed from there by the exact mate search; if that proves a shorter
// mate, the line shows the shorter one. A mate that cannot be confirmed
// within the budget is shown as a lower bound with the root move alone; one
// that is refuted, or too long for a line, is not shown (kind SHOWN_NONE).
// Scores that are no mate, and bounds, are shown as given with the root move
// alone.
void build_shown_line(uint8_t attacker, const Move& root, int16_t score, uint8_t kind, ShownLine* out);

// With the root move `root` of `attacker` made on the board, after the
// proof-number solver proved a mate in `distance` moves with it: the proof
// is checked on the board through every defence, and shown with the line
// that holds out longest, as a mate of the proof's length. A proof that
// cannot be checked whole (its table entries gone, the budget spent, or the
// search stopped) is shown as a lower bound with the root move alone.
void build_solver_line(uint8_t attacker, const Move& root, int distance, ShownLine* out);

// The root move alone with `score` and `kind`.
void shown_root_move(const Move& root, int16_t score, uint8_t kind, ShownLine* out);

// Forgets the lines built so far. A proven line holds for its position
// whatever the search or the tables, and an attempt that failed is made
// again once the table offers more of the line, so the engine keeps them for
// its whole run; tests start from none.
void shown_lines_forget();
