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
#include "search/solver_jobs.h"
#include "search_state.h"
#include "settings.h"

PER_THREAD bool helper_thread;

namespace {

constexpr uint32_t CHECK_EVERY = 4096;  // nodes between a helper's looks at the stop flag

std::thread helpers[THREADS_MAX];
int helper_count;
std::atomic<bool> stop_helpers;
std::atomic<uint32_t> published_nodes[THREADS_MAX];
// The helpers asked for, for a helper's look at the node limit.
std::atomic<int> helpers_asked;
// The score the main thread's root tests must beat: helpers test for mates
// beyond it.
std::atomic<int16_t> main_bound;
// The depth of the main thread's iteration.
std::atomic<int> main_depth;
// 1 + the index among root_moves of a move a helper found a mate with; 0 for none.
std::atomic<int> helper_find;

// The main thread's root, written before the helpers start.
PositionCopy root_position;
Move root_moves[MAX_MOVES_PER_PLY];
int root_move_count;
uint8_t root_mover;

// Whether the first helper of this search is the solver's thread.
bool solver_thread_up;

PER_THREAD int helper_index;
PER_THREAD int helper_rank;   // among the alpha-beta helpers, from 1; 0 on the solver's thread
PER_THREAD int helper_depth;
PER_THREAD uint32_t until_check;

// A helper's own history tables: on a helper, history points at them.
PER_THREAD int16_t own_history[2][HISTORY_ENTRIES] = {};

// The helper's own search state, as a search start sets it.
void start_helper_state() {
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

// The root moves in the order of the helper of this rank: odd ranks go from
// the last move back, even ones from the rank-th on, so that two threads at
// one depth cover the list from both ends.
const Move& helper_move(int rank, int k) {
  const int n = root_move_count;
  return rank % 2 == 1 ? root_moves[n - 1 - k] : root_moves[(k + rank) % n];
}

// A root move that beats the bound, for the main thread to search next.
void publish_find(const Move& m) {
  const int at = static_cast<int>(&m - root_moves);
  helper_find.store(at + 1, std::memory_order_relaxed);
}

// Iterative deepening over the root moves, each tested for a mate shorter
// than the best known. A helper works at the main thread's depth plus rank / 2
// and drops an iteration the main thread has reached; whatever it settles,
// the main thread finds in the table when it gets there, and a mate it
// finds at the root the main thread searches next.
void helper_main(int index, int rank) {
  helper_rank = rank;
  helper_thread_begin(index);
  const uint8_t side = root_mover;
  int depth = 0;
  while (!stop_helpers.load(std::memory_order_relaxed)) {
    const int wanted = main_depth.load(std::memory_order_relaxed) + rank / 2;
    depth = wanted > depth ? wanted : depth + 1;
    if (depth >= MAX_PLY) break;
    helper_depth = depth;
    horizon[1] = static_cast<int16_t>(depth);
    for (int k = 0; k < root_move_count && !search_aborted; k++) {
      const Move& m = helper_move(rank, k);
      if (!make_if_legal(side, m)) continue;
      nodes++;
      capture_marker[1] = capture_mark(m);
      // Never a higher bound than the main thread's: a node cut off by the
      // mate distance stores a score that holds only for its window.
      const int16_t bound = main_bound.load(std::memory_order_relaxed);
      const int16_t alpha = bound > MATE_TEST ? bound : MATE_TEST;
      ply = 2;
      const int16_t score =
          static_cast<int16_t>(-search(side ^ 1, 0, static_cast<int16_t>(-(alpha + 1)), static_cast<int16_t>(-alpha)));
      ply = 1;
      unmake_move(side, m);
      if (!search_aborted && score > alpha) publish_find(m);
    }
    search_aborted = 0;
  }
  helper_thread_end(index);
}

}  // namespace

void helpers_start(uint8_t side) {
  helper_count = 0;
  solver_thread_up = false;
  const bool with_solver = solver_place == SOLVER_ON_THREAD;
  if (!SEARCH_THREADS_AVAILABLE || thread_count <= 1 || list_start[2] == list_start[1]) return;
  copy_position(&root_position);
  root_mover = side;
  root_move_count = list_start[2] - list_start[1];
  std::memcpy(root_moves, move_stack + list_start[1], sizeof(Move) * static_cast<std::size_t>(root_move_count));
  stop_helpers.store(false);
  main_bound.store(0, std::memory_order_relaxed);
  main_depth.store(horizon[1], std::memory_order_relaxed);
  helper_find.store(0, std::memory_order_relaxed);
  const int asked = thread_count < THREADS_MAX ? thread_count - 1 : THREADS_MAX - 1;
  for (int i = 1; i <= asked; i++) published_nodes[i].store(0, std::memory_order_relaxed);
  helpers_asked.store(asked, std::memory_order_relaxed);
  for (int i = 1; i <= asked; i++) {
    try {
      if (i == 1 && with_solver)
        helpers[i] = std::thread(solver_thread_main, i);
      else
        helpers[i] = std::thread(helper_main, i, with_solver ? i - 1 : i);
    } catch (const std::system_error&) {
      break;  // the system gives no more threads: search with those there are
    }
    helper_count = i;
    if (i == 1) solver_thread_up = with_solver;
  }
}

void helpers_stop() {
  stop_helpers.store(true);
  // A search that started none (no legal move, a book move) has only the
  // threads of an earlier search, already joined.
  for (int i = 1; i <= helper_count; i++)
    if (helpers[i].joinable()) helpers[i].join();
  solver_thread_up = false;
}

void helpers_new_search() { helper_count = 0; }

void helpers_aim(int16_t bound) { main_bound.store(bound, std::memory_order_relaxed); }

void helpers_follow(int depth) { main_depth.store(depth, std::memory_order_relaxed); }

bool take_helper_find(Move* found) {
  if (helper_count == 0) return false;
  const int at = helper_find.exchange(0, std::memory_order_relaxed);
  if (at == 0) return false;
  *found = root_moves[at - 1];
  return true;
}

uint32_t helper_nodes() {
  uint32_t sum = 0;
  for (int i = 1; i <= helper_count; i++) sum += published_nodes[i].load(std::memory_order_relaxed);
  return sum;
}

bool helper_poll() {
  if (--until_check != 0) return search_aborted != 0;
  until_check = CHECK_EVERY;
  return helper_look();
}

// With a node limit (go nodes), the helpers stop once their own nodes
// reach it: the main thread, which may be waiting for a core, sees the
// limit at its next poll.
bool helpers_reached_node_limit() {
  if (search_node_limit == 0) return false;
  uint64_t sum = 0;
  const int asked = helpers_asked.load(std::memory_order_relaxed);
  for (int i = 1; i <= asked; i++) sum += published_nodes[i].load(std::memory_order_relaxed);
  return 2 * sum >= search_node_limit;
}

bool helper_look() {
  published_nodes[helper_index].store(nodes, std::memory_order_relaxed);
  if (helpers_reached_node_limit()) stop_helpers.store(true, std::memory_order_relaxed);
  if (stop_helpers.load(std::memory_order_relaxed))
    search_aborted = 1;
  else if (helper_rank == 0)
    search_aborted = solver_job_replaced();
  else if (main_depth.load(std::memory_order_relaxed) + helper_rank / 2 > helper_depth)
    search_aborted = 1;  // an iteration the main thread has reached is left to it
  return search_aborted != 0;
}

bool solver_thread_started() { return solver_thread_up; }

void helper_thread_begin(int index) {
  helper_thread = true;
  helper_index = index;
  start_helper_state();
}

void helper_thread_end(int index) { published_nodes[index].store(nodes, std::memory_order_relaxed); }

bool helpers_stopping() { return stop_helpers.load(std::memory_order_relaxed); }
