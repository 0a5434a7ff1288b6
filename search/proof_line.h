// The line of a mate the solver proved, checked on the board move for move.
#pragma once

#include <cstdint>

#include "types.h"

// Moves the check of one proof may make before it gives up.
constexpr uint32_t PROOF_CHECK_BUDGET = 4000000;

// With the attacker's first move already made (defender to move at the
// current ply): follows the proof in the solver's table through every
// defence, confirming that each one is mated, and returns the proof's
// length in attacker moves (the first move counted); 0 when the table no
// longer holds the whole proof, the budget ran out, or the search was
// stopped (input is polled meanwhile). line[first ..] receives the line that
// holds out longest against the proof, ended by an empty move.
int proof_line(uint8_t attacker, Move* line, int first, int max_index);
