// Helper threads, with Threads above 1: they search the root position beside
// the main thread, each on its own copy of the position with search state
// of its own, and meet it only in the shared transposition table. What they
// find there the main thread's searches cut off on; the main thread alone
// reads input, prints and decides the move.
#pragma once

#include <cstdint>

#include "types.h"

constexpr int THREADS_MAX = 256;

// True on a helper thread.
extern PER_THREAD bool helper_thread;

// With the root position on the board and its moves in the root list (ply
// 1), starts thread_count - 1 helpers; with one thread, none.
void helpers_start(uint8_t side);
// The score the main thread's root tests must now beat.
void helpers_aim(int16_t bound);
// Tells the helpers to stop and waits until they have.
void helpers_stop();
// The nodes the helpers of the latest search have counted so far.
uint32_t helper_nodes();
// A helper's poll, at every node: true once the helper must stop.
bool helper_poll();
