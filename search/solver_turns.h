// Turns of the proof-number solver and the alpha-beta search on the one
// thread: each gets a time quantum in turn, the quanta growing, so that the
// two share the time about evenly whatever the length of the search.
#pragma once

#include <cstdint>

// The solver works beside the alpha-beta search in this search.
extern uint8_t solver_on;

// A new search: the solver on or off, the first quantum.
void solver_turns_begin(bool on);
// Whether the alpha-beta search has used its quantum (and the solver still
// has work).
bool solver_turn_due();
// Asked by the main search at its input polls: when the turn is due and the
// root allows it, the search is paused (aborted, to be searched again after
// the solver's turn) and true is returned.
bool pause_for_solver();
// Set by the root around the searches that may be paused; read back after.
extern uint8_t pause_allowed;
extern uint8_t paused_for_solver;
// Runs the solver for its quantum (the board at the root position).
void take_solver_turn();
