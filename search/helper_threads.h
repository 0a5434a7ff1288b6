// Helper threads, with Threads above 1: they search the root position beside
// the main thread, each on its own copy of the position with search state
// of its own (what search_state.h and board.h declare PER_THREAD), and meet
// it only in the shared transposition table and the atomics of this file.
// What they find there the main thread's searches cut off on; the main
// thread alone reads input, prints and decides the move. The first helper
// may be the proof-number solver's thread instead (solver_jobs.h).
#pragma once

#include <cstdint>

#include "types.h"

constexpr int THREADS_MAX = 256;

// True on a helper thread.
extern PER_THREAD bool helper_thread;

// At every search start: no helper counts for it until helpers_start.
void helpers_new_search();
// With the root position on the board and its moves in the root list (ply
// 1), starts thread_count - 1 helpers, the first of them the solver's
// thread when the solver is planned for one; with one thread, none.
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
// The helper's look at whether it must stop, without the countdown of
// helper_poll (the exact searches count their own moves).
bool helper_look();

// Whether helpers_start started the solver's thread in this search.
bool solver_thread_started();
// On the solver's thread: its state set up for the root position, and at
// its end its nodes published.
void helper_thread_begin(int index);
void helper_thread_end(int index);
// Whether the helpers are told to stop.
bool helpers_stopping();
