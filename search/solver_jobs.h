// Who runs the proof-number solver during a search, and its one job.
//
// The solver works in turns with the alpha-beta search on the main thread
// (each gets its time in turn, the turns growing, so that the two share the
// time in the same proportion, the solver three parts in four, whatever the
// length of the search), or, with Threads above 1, on a thread of its own.
// Either way its job, a mate within so many moves from the root, is held
// here once.
//
// The hand-over. Each thread has a solver state of its own (proof_search.cpp);
// the jobs' table (proof_table.h) is shared. In turns the main thread alone
// uses it. On its own thread, a job belongs to the solver thread from the
// moment the main thread posts it (a release of the job's serial) until the
// solver thread publishes the same serial as settled, with its results (a
// release the main thread acquires). In between the main thread does not
// touch the jobs' table (solver_table_busy says when); after it, while the
// solver thread waits for the next job, the main thread reads the results
// and the table, and posts the next job only once it is done with them. The
// proofs of the alpha-beta search's claims work on a table of their own.
#pragma once

#include <cstdint>

#include "search/proof_search.h"
#include "types.h"

enum SolverPlace : uint8_t {
  SOLVER_OFF,        // no solver in this search
  SOLVER_IN_TURNS,   // on the main thread, in turns with the alpha-beta search
  SOLVER_ON_THREAD   // on a thread of its own
};

// Where the solver of the running search works (the main thread's).
extern SolverPlace solver_place;
inline bool solver_working() { return solver_place != SOLVER_OFF; }

// How much a search wants the solver: not at all; only on a thread of its
// own, where it takes no time from the alpha-beta search; or in any case.
enum SolverWish : uint8_t { SOLVER_UNWANTED, SOLVER_IF_SPARE_THREAD, SOLVER_WANTED };

// A new search. With Threads above 1 a solver wished for is planned for a
// thread of its own, which helpers_start starts; with one thread only a
// solver wanted in any case works, in turns.
void solver_jobs_begin(SolverWish wish);
// After helpers_start: a solver planned for a thread the system did not
// give works in turns instead if it was wanted in any case (returns true
// then), and not at all if it was only to have a spare thread.
bool solver_thread_missing();
// The body of the solver's thread, started by helpers_start as helper
// `index`: one job at a time, each worked on until it is settled or replaced.
void solver_thread_main(int index);
// On the solver thread, at its polls: a newer job has replaced its own.
bool solver_job_replaced();

// A job for a mate within `target` moves of `side` at the root position
// (on the board); below 1, none: the solver has no more work in this search.
void solver_post(uint8_t side, int target);
// The job's state, SOLVER_OPEN while it is worked on; SOLVER_IDLE for none.
SolverState solver_job_state();
// After SOLVER_MATE: the first move of the job's proof and its distance.
Move solver_job_mating_move();
int solver_job_mate_distance();
// The moves the job is limited to, as the solver reaches them; 0 for none.
int solver_job_limit();
// Whether the solver's thread may be writing its table now.
bool solver_table_busy();

// In turns: the alpha-beta search has used its quantum (and the job is
// open). On its own thread the solver may have news at any time.
bool solver_turn_due();
// In turns: runs the solver for its quantum (the board at the root position).
void take_solver_turn();
// Asked by the main search at its input polls: when the solver's turn is
// due (or its thread has a mate to show) and the root allows it, the search
// is paused (aborted, to be searched again afterwards) and true is returned.
bool pause_for_solver();
// Set by the root around the searches that may be paused; read back after.
extern uint8_t pause_allowed;
extern uint8_t paused_for_solver;

// Moves the solver thread makes in one turn of a job; it takes turns until
// the job is settled. Tests shorten the turns.
constexpr uint32_t SOLVER_THREAD_TURN = 1u << 24;
extern uint32_t solver_thread_turn;
