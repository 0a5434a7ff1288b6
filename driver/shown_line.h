// The lines the root prints: a mate is shown only with a line that plays it
// out, move for move, to checkmate at its announced distance.
#pragma once

#include <cstdint>

#include "search/pv.h"
#include "types.h"

// Moves the proof of a claim may make at least, over every defence.
constexpr uint32_t CLAIM_PROOF_BUDGET = 1000000;
// Moves the proof that a root move is mated may make.
constexpr uint32_t MATED_PROOF_BUDGET = 250000;

// With the root move `root` of `attacker` made on the board: the line to
// print for its search score. An exact mate score is proven on the board by
// the exact prover against every defence, apart from the transposition
// table (whose entries may have been written for other rights, by another
// thread, or for another position with the same keys), and the line that
// holds out longest against that proof is shown; a proof shorter than the
// score shows the shorter mate. A mate that cannot be proven within the
// budget is shown as a lower bound with the root move alone; one that is
// refuted, or too long for a line, is not shown (kind SHOWN_NONE). Scores
// that are no mate, and bounds, are shown as given with the root move alone.
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

// With a root move of `mated`'s made on the board: the moves in which the
// opponent, to move, is proven to mate against every defence, at most
// `moves`; 0 when that is not proven. The line goes to keys[2 ..] and
// flags[2 ..], the opponent's mate and the defence that holds out longest.
int prove_mated_line(uint8_t mated, int moves, uint16_t* keys, uint16_t* flags);

// Forgets the lines built so far. The last few built (a proven line, a
// refuted claim, or one the budget could not settle, tried again once the
// budget has doubled) are kept across searches, keyed on the position and
// its rights, since a proven line holds whatever the tables; tests start
// from none.
void shown_lines_forget();
