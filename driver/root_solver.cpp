// The proof-number solver beside the root's alpha-beta search.
#include "driver/root_solver.h"

#include <chrono>
#include <thread>

#include "board.h"
#include "board/make_move.h"
#include "board/movegen.h"
#include "driver/root_moves.h"
#include "driver/root_search.h"
#include "driver/shown_line.h"
#include "protocol/poll.h"
#include "protocol/search_info.h"
#include "search/proof_search.h"
#include "search/proof_table.h"
#include "search/pv.h"
#include "search/solver_jobs.h"
#include "search_control.h"
#include "search_state.h"
#include "settings.h"

namespace {

ShownLine solver_shown;     // the solver's latest proven line, as printed
bool solver_line_waiting;   // printed, not yet taken into the root list
bool no_mate_told;          // "no mate in N" said in this search
bool table_emptied;         // the solver's table started afresh in this search

// Without a distance asked for, one job for all Matt_in moves finds a short
// mate late, and longer than it is: a short limit finds it soon, exact or
// nearly. A loose limit, though, finds a long mate about as soon as a limit
// of its own distance would. So the jobs take turns between two rungs, a
// short limit and the top, in slices that double each round. A mate shown
// lowers the top; the short rung settled without a mate drops out.
constexpr int SHORT_RUNG = 12;
constexpr int32_t FIRST_SLICE_CS = 10;
constexpr int32_t LAST_SLICE_CS = 1 << 20;
int rung;                 // the limit of the job under way
bool short_rung_open;     // not yet settled without a mate
int32_t rung_started_cs;  // when the job under way began its slice
int32_t slice_cs;

// The exact mate shown for the best move so far; 0 for none.
int16_t shown_mate() { return shown_best.kind == SHOWN_EXACT && shown_best.score > MATE_BOUND ? shown_best.score : 0; }

// The solver looks for a mate shorter than every one shown, within the
// search's limit: the ladder's top.
int ladder_top() {
  int16_t shown = shown_mate();
  if (solver_line_waiting && solver_shown.score > shown) shown = solver_shown.score;
  int moves = search_matt_in;
  if (shown != 0 && mate_distance(shown) - 1 < moves) moves = mate_distance(shown) - 1;
  return moves;
}

int solver_target() { return rung < ladder_top() ? rung : ladder_top(); }

// A job for a mate shorter than any shown; with nothing shorter left to
// find, none.
void start_solver_job(uint8_t side) { solver_post(side, solver_target()); }

// The slice is over, or the rung settled: the job moves up to the top, or
// from the top back to the short rung, while it is open, for a longer slice.
void next_rung(uint8_t side) {
  const int top = ladder_top();
  rung_started_cs = elapsed;
  if (rung < top) {
    rung = top;
  } else {
    if (!short_rung_open || SHORT_RUNG >= top) return;  // the top alone is left
    rung = SHORT_RUNG;
    if (slice_cs < LAST_SLICE_CS) slice_cs *= 2;
  }
  start_solver_job(side);
}

// The solver proved a mate: its line is built, confirmed and printed at
// once. "go mate N" is then answered; otherwise the solver goes on to a
// shorter mate.
void announce_solver_mate(uint8_t side) {
  const Move m = solver_job_mating_move();
  make_move(side, m);
  build_solver_line(side, m, solver_job_mate_distance(), &solver_shown);
  unmake_move(side, m);
  report_search(solver_shown);
  if (solver_shown.kind != SHOWN_EXACT) {
    // Once per search the mate is proven again from an empty table (the
    // solver's thread is between jobs, so the table is free); after that it
    // stays told as a bound.
    solver_post(side, solver_table_restart_once(&table_emptied) ? solver_target() : 0);
    return;
  }
  // Each mate is told once: the job moves on, to a shorter mate or to none.
  solver_line_waiting = true;
  rung_started_cs = elapsed;
  if (go_mate_moves > 0) {
    search_aborted = 1;
    solver_post(side, 0);
    return;
  }
  start_solver_job(side);
}

// The solver settled its job without a mate. Under "go mate N" with the
// job for all N moves, that proves there is none: said once, and the search
// is over. In analysis a rung below the top drops out; the top settled says
// that the mate shown is the shortest, or that there is none in Matt_in.
void settled_without_mate(uint8_t side) {
  if (go_mate_moves == 0) {
    const int limit = solver_job_limit();
    if (limit >= ladder_top()) return;
    short_rung_open = false;
    rung = limit;
    next_rung(side);
    return;
  }
  if (no_mate_told || solver_job_limit() < go_mate_moves) return;
  no_mate_told = true;
  report_no_mate(go_mate_moves);
  search_aborted = 1;
}

}  // namespace

void root_solver_begin(uint8_t side, SolverWish wish) {
  solver_jobs_begin(wish);
  solver_line_waiting = false;
  no_mate_told = false;
  table_emptied = false;
  // "go mate N" knows the distance: its ladder is its top alone.
  rung = go_mate_moves > 0 ? search_matt_in : SHORT_RUNG;
  short_rung_open = go_mate_moves == 0;
  rung_started_cs = elapsed;
  slice_cs = FIRST_SLICE_CS;
  if (solver_working()) start_solver_job(side);
}

void root_solver_threads_started(uint8_t side) {
  // The system gave no thread for it: the solver takes turns after all.
  if (solver_thread_missing()) start_solver_job(side);
}

void solver_turn(uint8_t side) {
  if (!solver_working()) return;
  // A mate the alpha-beta search has shown since makes the job's limit too
  // long; a mate its thread found for such a job is not told.
  const SolverState state = solver_job_state();
  if ((state == SOLVER_OPEN || state == SOLVER_MATE) && solver_target() < solver_job_limit()) start_solver_job(side);
  if (solver_place == SOLVER_IN_TURNS && solver_state() == SOLVER_OPEN) take_solver_turn();
  if (solver_job_state() == SOLVER_MATE) announce_solver_mate(side);
  if (solver_job_state() == SOLVER_NO_MATE) settled_without_mate(side);
  if (go_mate_moves == 0 && solver_job_state() == SOLVER_OPEN && elapsed - rung_started_cs >= slice_cs) next_rung(side);
}

int16_t adopt_solver_line(uint8_t side) {
  if (!solver_line_waiting) return 0;
  solver_line_waiting = false;
  if (solver_shown.score <= shown_mate()) return 0;
  const int i = find_move(root_list_first(), root_list_end(), solver_shown.moves[1], solver_shown.flags[1]);
  if (i == root_list_end()) return 0;
  Move& m = move_stack[i];
  m.score = solver_shown.score;
  make_move(side, m);
  set_root_move(m);
  unmake_move(side, m);
  for (int p = 2; p < PV_SLOTS; p++) {
    pv_line[p] = solver_shown.moves[p];
    pv_flags[p] = solver_shown.flags[p];
    if (pv_line[p] == 0) break;
  }
  shown_best = solver_shown;
  shown_best.flags[1] = static_cast<uint16_t>(m.flags);
  shown_best_claim = m.score;
  return m.score;
}

void solver_alone(uint8_t side) {
  if (go_mate_moves == 0 && time_mode != TM_INFINITE && !pondering) return;
  if (solver_place == SOLVER_IN_TURNS) {
    while (!search_aborted && solver_state() == SOLVER_OPEN) solver_turn(side);
    return;
  }
  while (!search_aborted) {
    // The state as it was before the look: once it is settled, that look
    // has acted on it.
    const SolverState state = solver_job_state();
    solver_turn(side);
    if (state != SOLVER_OPEN && state != SOLVER_MATE) break;
    poll_input(POLL_FULL);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

int16_t mate_floor() { return solver_working() ? shown_mate() : 0; }

bool holds_floor(const Move& m) {
  return move_key(m.from, m.to) == shown_best.moves[1] && static_cast<uint16_t>(m.flags) == shown_best.flags[1];
}

