// Helper threads, with Threads above 1: they search the root position beside
// the main thread, each on its own copy of the position with search state
// of its own, and meet it only in the shared transposition table. What they
// find there the main thread's searches cut off on; the main thread alone
// reads input, prints and decides the move.
#pragma once

#include <cstdint>

#include "search/proof_search.h"
#include "types.h"

constexpr int THREADS_MAX = 256;

// True on a helper thread.
extern PER_THREAD bool helper_thread;

// Before a search: whether the proof-number solver of this search will work
// on a thread of its own (with Threads above 1) instead of in turns with the
// main thread.
bool solver_thread_plan(bool with_solver);
// At every search start: no helper counts for it until helpers_start.
void helpers_new_search();
// With the root position on the board and its moves in the root list (ply
// 1), starts thread_count - 1 helpers, the first of them the solver thread
// when one is planned; with one thread, none.
void helpers_start(uint8_t side);
// The score the main thread's root tests must now beat.
void helpers_aim(int16_t bound);
// The depth of the main thread's new iteration.
void helpers_follow(int depth);
// A root move a helper found a mate with since the last call, for the main
// thread to search next; false when there is none.
bool take_helper_find(Move* found);
// Tells the helpers to stop and waits until they have.
void helpers_stop();
// The nodes the helpers of the latest search have counted so far.
uint32_t helper_nodes();
// A helper's poll, at every node: true once the helper must stop.
bool helper_poll();

// Moves the solver thread makes in one turn of a job; it takes turns until
// the job is settled. Tests shorten the turns.
constexpr uint32_t SOLVER_THREAD_TURN = 1u << 24;
extern uint32_t solver_thread_turn;

// The solver thread, from the main thread. A new job (a mate within
// `target` moves; below 1 none) replaces the one it works on.
void solver_thread_post(int target);
// SOLVER_OPEN until the latest job is settled; then the solver's results
// may be read.
SolverState solver_thread_result();
// Whether the solver thread of this search runs.
bool solver_thread_running();
// Whether the solver thread may be writing its table now.
bool solver_table_busy();
