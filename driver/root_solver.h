// The proof-number solver beside the root's alpha-beta search: its turns
// between root moves, or its own thread with Threads above 1, the mates it
// proves, printed at once, and the mate
// floor they set for the root's tests.
#pragma once

#include <cstdint>

#include "search/solver_jobs.h"
#include "types.h"

// At the start of a search (the board at the root position): the solver
// works as `wish` allows (solver_jobs.h), starting with its first job.
void root_solver_begin(uint8_t side, SolverWish wish);
// After the helper threads have started: a solver planned for a thread that
// the system did not give takes turns instead, or stays off.
void root_solver_threads_started(uint8_t side);
// The solver's turn, the board at the root position; on its own thread, a
// look at what it has found and whether its job still holds.
void solver_turn(uint8_t side);
// Between two root moves: the solver's printed mate becomes the root's best
// move and the bound every later test must beat. Returns its score, 0 when
// there is none to adopt.
int16_t adopt_solver_line(uint8_t side);
// The alpha-beta search ended by itself: a search with no end of its own
// leaves the solver to go on alone.
void solver_alone(uint8_t side);

// With the solver on, a mate once shown stays the best result: every root
// move, the first too, is only tested for a shorter one, and the move that
// holds the mate keeps its score. 0 when there is no floor.
int16_t mate_floor();
bool holds_floor(const Move& m);
