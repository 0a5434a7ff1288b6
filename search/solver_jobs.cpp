// The solver's job and where it runs: its turns on the main thread, or its
// own thread and the mailbox between the two.
#include "search/solver_jobs.h"

#include <atomic>
#include <chrono>
#include <thread>

#include "search/helper_threads.h"
#include "search/search_poll.h"
#include "search_control.h"
#include "search_state.h"
#include "settings.h"

SolverPlace solver_place;
uint8_t pause_allowed;
uint8_t paused_for_solver;
uint32_t solver_thread_turn = SOLVER_THREAD_TURN;

namespace {

// The main thread's view of the job: its target (below 1 none).
int posted_target;
// Where the solver works when it has no thread of its own: in turns if it
// is wanted in any case, else nowhere.
SolverPlace place_without_thread;

// Turns on the main thread: the alpha-beta search's quantum, growing. The
// solver's turn is three quanta: the alpha-beta search finds the short
// mates within its first turns anyway, while the long ones are the solver's,
// and they come sooner with the larger share of the time.
constexpr int32_t FIRST_QUANTUM_CS = 2;
constexpr int32_t LAST_QUANTUM_CS = 400;
constexpr int32_t SOLVER_QUANTA = 3;
int32_t quantum_cs;
int32_t turn_started_cs;

// The mailbox of the solver's thread. The main thread posts a job by
// raising job_serial (release); the solver thread settles it and publishes
// its serial in done_serial (release).
std::atomic<uint32_t> job_serial;
std::atomic<int> job_target;
std::atomic<uint8_t> job_side;
std::atomic<uint32_t> done_serial;
std::atomic<uint8_t> done_state;
// A mate's first move and distance, published with its serial (each
// thread's solver has state of its own).
std::atomic<uint64_t> done_move;
std::atomic<int> done_distance;

uint64_t move_word(const Move& m) {
  return static_cast<uint64_t>(static_cast<uint8_t>(m.from)) | static_cast<uint64_t>(static_cast<uint8_t>(m.to)) << 8 |
         static_cast<uint64_t>(m.flags) << 32;
}
Move word_move(uint64_t w) {
  return Move{static_cast<int8_t>(w & 0xFF), static_cast<int8_t>((w >> 8) & 0xFF), 0, static_cast<uint32_t>(w >> 32)};
}

// The job the solver thread works on; 0 on every other thread.
PER_THREAD uint32_t working_job;

}  // namespace

void solver_jobs_begin(SolverWish wish) {
  job_serial.store(0);
  done_serial.store(0);
  posted_target = 0;
  pause_allowed = 0;
  paused_for_solver = 0;
  quantum_cs = FIRST_QUANTUM_CS;
  turn_started_cs = elapsed;
  place_without_thread = wish == SOLVER_WANTED ? SOLVER_IN_TURNS : SOLVER_OFF;
  if (wish == SOLVER_UNWANTED)
    solver_place = SOLVER_OFF;
  else if (SEARCH_THREADS_AVAILABLE && thread_count > 1)
    solver_place = SOLVER_ON_THREAD;
  else
    solver_place = place_without_thread;
}

bool solver_thread_missing() {
  if (solver_place != SOLVER_ON_THREAD || solver_thread_started()) return false;
  solver_place = place_without_thread;
  return solver_place == SOLVER_IN_TURNS;
}

void solver_post(uint8_t side, int target) {
  posted_target = target;
  if (solver_place == SOLVER_ON_THREAD) {
    job_target.store(target, std::memory_order_relaxed);
    job_side.store(side, std::memory_order_relaxed);
    job_serial.fetch_add(1, std::memory_order_release);
  } else if (target >= 1) {
    solver_start(side, target, 2);
  } else {
    solver_idle();
  }
}

SolverState solver_job_state() {
  if (solver_place != SOLVER_ON_THREAD) return solver_state();
  if (posted_target < 1) return SOLVER_IDLE;
  if (done_serial.load(std::memory_order_acquire) != job_serial.load(std::memory_order_relaxed)) return SOLVER_OPEN;
  return static_cast<SolverState>(done_state.load(std::memory_order_relaxed));
}

Move solver_job_mating_move() {
  return solver_place == SOLVER_ON_THREAD ? word_move(done_move.load(std::memory_order_relaxed)) : solver_mating_move();
}

int solver_job_mate_distance() {
  return solver_place == SOLVER_ON_THREAD ? done_distance.load(std::memory_order_relaxed) : solver_mate_distance();
}

int solver_job_limit() {
  if (solver_place != SOLVER_ON_THREAD) return solver_limit();
  return posted_target < 1 ? 0 : solver_reach(posted_target, 2);
}

bool solver_table_busy() {
  return solver_place == SOLVER_ON_THREAD && solver_thread_started() &&
         done_serial.load(std::memory_order_acquire) != job_serial.load(std::memory_order_relaxed);
}

bool solver_job_replaced() { return job_serial.load(std::memory_order_relaxed) != working_job; }

void solver_thread_main(int index) {
  helper_thread_begin(index);
  uint32_t seen = 0;
  for (;;) {
    // Between jobs the thread naps rather than waits on the serial: the
    // atomic wait of mingw-w64's runtime can miss its wake-up.
    while (job_serial.load(std::memory_order_acquire) == seen && !helpers_stopping())
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (helpers_stopping()) break;
    seen = job_serial.load(std::memory_order_acquire);
    working_job = seen;
    const int target = job_target.load(std::memory_order_relaxed);
    SolverState state = SOLVER_IDLE;
    if (target >= 1) {
      solver_start(job_side.load(std::memory_order_relaxed), target, 2);
      // Turn after turn until the job is settled, replaced or stopped (the
      // helper's look then aborts the turn).
      do state = solver_run(solver_thread_turn, INT32_MAX);
      while (state == SOLVER_OPEN && !search_aborted);
      search_aborted = 0;
    }
    if (state == SOLVER_OPEN) continue;  // replaced or stopped: nothing to tell
    done_state.store(state, std::memory_order_relaxed);
    done_move.store(move_word(solver_mating_move()), std::memory_order_relaxed);
    done_distance.store(solver_mate_distance(), std::memory_order_relaxed);
    done_serial.store(seen, std::memory_order_release);
  }
  working_job = 0;
  helper_thread_end(index);
}

bool solver_turn_due() {
  if (solver_place == SOLVER_ON_THREAD) return true;
  return solver_place == SOLVER_IN_TURNS && solver_state() == SOLVER_OPEN && elapsed - turn_started_cs >= quantum_cs;
}

void take_solver_turn() {
  search_poll(POLL_CLOCK);
  solver_run(NO_MOVE_LIMIT, elapsed + SOLVER_QUANTA * quantum_cs);
  if (quantum_cs < LAST_QUANTUM_CS) quantum_cs += quantum_cs / 2;
  turn_started_cs = elapsed;
}

bool pause_for_solver() {
  if (!pause_allowed || search_aborted) return false;
  // On a thread of its own the solver needs no turn, only a mate it found
  // to be shown.
  if (solver_place == SOLVER_ON_THREAD ? solver_job_state() != SOLVER_MATE : !solver_turn_due()) return false;
  paused_for_solver = 1;
  search_aborted = 1;
  return true;
}
