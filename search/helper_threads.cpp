// Helper threads: lazy SMP over the shared transposition table.
#include "search/helper_threads.h"

#include <atomic>
#include <cstring>
#include <system_error>
#include <thread>

#include "board.h"
#include "board/attacks.h"
#include "board/make_move.h"
#include "board/position_copy.h"
#include "search/ordering.h"
#include "search/search.h"
#include "search_state.h"
#include "settings.h"

PER_THREAD bool helper_thread;

namespace {

constexpr uint32_t CHECK_EVERY = 4096;  // nodes between a helper's looks at the stop flag

std::thread helpers[THREADS_MAX];
int helper_count;
std::atomic<bool> stop_helpers;
std::atomic<uint32_t> published_nodes[THREADS_MAX];
// The score the main thread's root tests must beat: helpers test for mates
// beyond it.
std::atomic<int16_t> main_bound;

// The main thread's root, written before the helpers start.
PositionCopy root_position;
Move root_moves[MAX_MOVES_PER_PLY];
int root_move_count;
uint8_t root_mover;

PER_THREAD int helper_index;
PER_THREAD uint32_t until_check;

// The helper's own search state, as a search start sets it.
void start_helper_state(int16_t (*own_history)[HISTORY_ENTRIES]) {
  set_position(root_position);
  history[WHITE] = own_history[WHITE];
  history[BLACK] = own_history[BLACK];
  reset_history();
  for (int p = 0; p < PLY_SLOTS; p++) capture_marker[p] = 255;
  last_to_square = 255;
  ply = 1;
  list_start[1] = 0;
  list_start[2] = static_cast<uint16_t>(root_move_count);
  std::memcpy(move_stack, root_moves, sizeof(Move) * static_cast<std::size_t>(root_move_count));
  material_census();
  root_material(root_mover);
  if (in_check(root_mover)) {
    node_flags[1] |= IN_CHECK;
    check_count[1] = 1;
  }
  // Every node calls helper_poll, which counts down to its next look.
  next_poll_nodes = 0;
  until_check = CHECK_EVERY;
}

// Iterative deepening over the root moves, each tested for a mate shorter
// than the best the main thread has, helper i from i plies deeper than the
// main thread's first iteration and from the i-th move on, so that the
// threads spread over the tree. Whatever a helper settles, the main thread
// finds in the table when it gets there.
void helper_main(int index) {
  helper_thread = true;
  helper_index = index;
  int16_t own_history[2][HISTORY_ENTRIES];
  start_helper_state(own_history);
  const uint8_t side = root_mover;
  for (int depth = 1 + index; depth < MAX_PLY && !search_aborted; depth++) {
    horizon[1] = static_cast<int16_t>(depth);
    for (int k = 0; k < root_move_count && !search_aborted; k++) {
      const Move m = move_stack[(k + index) % root_move_count];
      if (!make_if_legal(side, m)) continue;
      nodes++;
      capture_marker[1] = capture_mark(m);
      const int16_t bound = main_bound.load(std::memory_order_relaxed);
      const int16_t alpha = bound > MATE_TEST ? bound : MATE_TEST;
      ply = 2;
      search(side ^ 1, 0, static_cast<int16_t>(-(alpha + 1)), static_cast<int16_t>(-alpha));
      ply = 1;
      unmake_move(side, m);
    }
  }
  published_nodes[index].store(nodes, std::memory_order_relaxed);
}

}  // namespace

void helpers_start(uint8_t side) {
  helper_count = 0;
  if (!SEARCH_THREADS_AVAILABLE || thread_count <= 1 || list_start[2] == list_start[1]) return;
  copy_position(&root_position);
  root_mover = side;
  root_move_count = list_start[2] - list_start[1];
  std::memcpy(root_moves, move_stack + list_start[1], sizeof(Move) * static_cast<std::size_t>(root_move_count));
  stop_helpers.store(false);
  main_bound.store(0, std::memory_order_relaxed);
  for (int i = 1; i < thread_count && i < THREADS_MAX; i++) {
    published_nodes[i].store(0, std::memory_order_relaxed);
    try {
      helpers[i] = std::thread(helper_main, i);
    } catch (const std::system_error&) {
      break;  // the system gives no more threads: search with those there are
    }
    helper_count = i;
  }
}

void helpers_stop() {
  stop_helpers.store(true);
  for (int i = 1; i <= helper_count; i++) helpers[i].join();
}

void helpers_aim(int16_t bound) { main_bound.store(bound, std::memory_order_relaxed); }

uint32_t helper_nodes() {
  uint32_t sum = 0;
  for (int i = 1; i <= helper_count; i++) sum += published_nodes[i].load(std::memory_order_relaxed);
  return sum;
}

bool helper_poll() {
  if (--until_check == 0) {
    until_check = CHECK_EVERY;
    published_nodes[helper_index].store(nodes, std::memory_order_relaxed);
    if (stop_helpers.load(std::memory_order_relaxed)) search_aborted = 1;
  }
  return search_aborted != 0;
}
