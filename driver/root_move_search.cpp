// One root move's search within an iteration, with its re-searches, and the
// lines it reports on the way.
#include "driver/root_move_search.h"

#include "board.h"
#include "board/make_move.h"
#include "driver/root_moves.h"
#include "driver/root_search.h"
#include "driver/root_solver.h"
#include "driver/shown_line.h"
#include "protocol/poll.h"
#include "protocol/search_info.h"
#include "search/pv.h"
#include "search/search.h"
#include "search/solver_jobs.h"
#include "search_control.h"
#include "search_state.h"
#include "settings.h"

uint16_t best_by_depth[PLY_SLOTS + 1];

namespace {

// Where in the root search a line to report comes from.
enum class Report : uint8_t {
  LONGER,     // the first move's mate got longer: an upper bound
  FAIL_HIGH,  // the first move failed high: a lower bound
  TEST,       // a null-window test passed: a lower bound
  BEST        // the new best line, as set_best_line built it
};

// The search of a root move (made). With the solver on it may be paused
// for the solver's turn: the move is then taken back for the turn and
// searched again.
int16_t search_after_root_move(uint8_t side, const Move& root, int16_t alpha, int16_t beta) {
  for (;;) {
    pause_allowed = solver_working();
    ply = 2;
    const int16_t score =
        static_cast<int16_t>(-search(side ^ 1, 0, static_cast<int16_t>(-beta), static_cast<int16_t>(-alpha)));
    ply = 1;
    pause_allowed = 0;
    if (!paused_for_solver) return score;
    paused_for_solver = 0;
    search_aborted = 0;
    unmake_move(side, root);
    solver_turn(side);
    make_move(side, root);
    if (search_aborted) return 0;
  }
}

// A new best line of the iteration: proven and completed before it is shown.
void set_best_line(uint8_t side, const Move& m, int16_t score, uint8_t kind) {
  build_shown_line(side, m, score, kind, &shown_best);
  shown_best_claim = score;
  // "go mate N" is answered once a mate of at most N moves can be shown.
  if (go_mate_moves > 0 && shown_best.kind == SHOWN_EXACT && shown_best.score >= mate_in(go_mate_moves))
    search_aborted = 1;
}

// Interim results (a mate that got longer, a fail high, a passed
// null-window test) are bounds: they are shown as such with the root move
// alone, so that a GUI sees a mate the moment it is known. The best line is
// shown as built by set_best_line.
void report(Report kind, const Move& m, int16_t score) {
  if (multipv_lines >= 2) return;
  if (kind == Report::BEST) {
    report_search(shown_best);
    return;
  }
  ShownLine interim;
  shown_root_move(m, score, kind == Report::LONGER ? SHOWN_UPPER : SHOWN_LOWER, &interim);
  report_search(interim);
}

// What a search with the window lo .. hi says of its score.
uint8_t result_kind(int16_t score, int16_t lo, int16_t hi) {
  return score <= lo ? SHOWN_UPPER : score >= hi ? SHOWN_LOWER : SHOWN_EXACT;
}

}  // namespace

// Returns what the move's score now is: a result of this iteration of
// some kind, or SHOWN_NONE when the search was stopped before it had one.
uint8_t search_first_move(uint8_t side, Move& m, Iteration& it) {
  int16_t lo = it.alpha, hi = it.beta;
  int16_t score = search_after_root_move(side, m, lo, hi);
  if (search_aborted) {
    m.score = it.previous;
    return SHOWN_NONE;
  }
  const int16_t tested = score;
  bool researched = false;
  if (score <= it.alpha && score > MATE_TEST) {
    report(Report::LONGER, m, score);
    poll_input(POLL_CLOCK_ONLY);
    lo = MATE_TEST;
    hi = 9999;
    score = search_after_root_move(side, m, lo, hi);
    researched = true;
  } else if (score >= it.beta) {
    report(Report::FAIL_HIGH, m, score);
    lo = static_cast<int16_t>(score - 1);
    hi = 9999;
    score = search_after_root_move(side, m, lo, hi);
    researched = true;
    if (score >= 9999 && !search_aborted) {
      report(Report::TEST, m, score);
      const int16_t again = search_after_root_move(side, m, lo, hi);
      if (!search_aborted && again > score) score = again;
    }
  }
  if (researched && search_aborted) {
    m.score = tested;
    return SHOWN_NONE;
  }
  m.score = score;
  it.alpha = score;
  it.best = score;
  set_root_move(m);
  pv_from_table(side ^ 1, 2);
  if (iteration_depth >= 3 && pv_line[1] != best_by_depth[iteration_depth - 1]) best_move_stable = 0;
  const uint8_t kind = result_kind(score, lo, hi);
  set_best_line(side, m, score, kind);
  report(Report::BEST, m, score);
  return kind;
}

// Returns true when the move became the best of the iteration; *kind tells
// what its score is (SHOWN_NONE when stopped before a result).
bool test_later_move(uint8_t side, Move& m, Iteration& it, uint8_t* kind) {
  *kind = SHOWN_NONE;
  if (it.alpha <= MATE_TEST) {
    it.alpha = MATE_TEST;
    it.beta = MATE_TEST + 1;
  } else {
    it.beta = static_cast<int16_t>(it.alpha + 1 > 9999 ? 9999 : it.alpha + 1);
  }
  int16_t lower = it.alpha;
  if (multipv_lines > 1 && multipv_exact)
    lower = -9999;
  else if (multipv_lines <= 1 && pondering && new_ponder && iteration_depth < 6 && multipv_exact)
    lower = -9999;
  else if (multipv_lines > 1 && !multipv_exact && multipv_lines < MULTIPV_RECORDS)
    lower = it.alpha < multipv_records[multipv_lines].score ? it.alpha : multipv_records[multipv_lines].score;

  const int16_t score = search_after_root_move(side, m, lower, it.beta);
  if (search_aborted) return false;
  m.score = score;
  *kind = result_kind(score, lower, it.beta);
  if (score <= it.alpha) return false;

  report(Report::TEST, m, score);
  const int16_t lo = it.alpha;
  int16_t result = search_after_root_move(side, m, lo, 9999);
  if (result <= it.alpha && !search_aborted) {
    report(Report::BEST, m, it.best);
    return false;
  }
  // A stopped re-search leaves the test's bound; the move still becomes best.
  if (search_aborted) {
    result = score;
    *kind = SHOWN_LOWER;
  } else {
    *kind = result_kind(result, lo, 9999);
  }
  m.score = result;
  it.alpha = it.best = result;
  set_root_move(m);
  pv_from_table(side ^ 1, 2);
  set_best_line(side, m, result, *kind);
  report(Report::BEST, m, result);
  return true;
}
