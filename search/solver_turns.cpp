// The solver's and the alpha-beta search's turns. A paused alpha-beta
// search is searched again from its root move; the table keeps what it had
// finished, and the growing quanta keep the repeated part small.
#include "search/solver_turns.h"

#include "protocol/platform.h"
#include "protocol/poll.h"
#include "search/helper_threads.h"
#include "search/proof_search.h"
#include "search_state.h"

uint8_t solver_on;
uint8_t pause_allowed;
uint8_t paused_for_solver;

namespace {

constexpr uint32_t FIRST_QUANTUM_MS = 20;
constexpr uint32_t LAST_QUANTUM_MS = 4000;

uint32_t quantum_ms;
uint32_t turn_started_ms;

}  // namespace

void solver_turns_begin(bool on) {
  solver_on = on ? 1 : 0;
  pause_allowed = 0;
  paused_for_solver = 0;
  quantum_ms = FIRST_QUANTUM_MS;
  turn_started_ms = platform_tick_ms();
}

bool solver_turn_due() {
  // The solver's own thread may have news at any time.
  if (solver_thread_running()) return solver_on != 0;
  return solver_on && solver_state() == SOLVER_OPEN && platform_tick_ms() - turn_started_ms >= quantum_ms;
}

bool pause_for_solver() {
  if (!pause_allowed || search_aborted) return false;
  // On a thread of its own the solver needs no turn, only a mate it found
  // to be shown.
  if (solver_thread_running() ? solver_thread_result() != SOLVER_MATE : !solver_turn_due()) return false;
  paused_for_solver = 1;
  search_aborted = 1;
  return true;
}

void take_solver_turn() {
  poll_input(POLL_CLOCK_ONLY);
  solver_run(0xFFFFFFFFu, elapsed + static_cast<int32_t>(quantum_ms / 10));
  if (quantum_ms < LAST_QUANTUM_MS) quantum_ms += quantum_ms / 2;
  turn_started_ms = platform_tick_ms();
}
