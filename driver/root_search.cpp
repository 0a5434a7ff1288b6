// The root search: the root moves, the one-ply first pass, and the
// iterations, each a ply deeper, over the root moves (root_move_search.h),
// with the solver and the helper threads beside them, until the search ends
// or a ponderhit starts it over.
#include "driver/root_search.h"

#include <cstring>

#include "board.h"
#include "board/make_move.h"
#include "board/movegen.h"
#include "board/notation.h"
#include "driver/key_search.h"
#include "driver/multipv.h"
#include "driver/root_move_search.h"
#include "driver/root_moves.h"
#include "driver/root_solver.h"
#include "driver/search_reset.h"
#include "driver/shown_line.h"
#include "driver/table_root.h"
#include "protocol/platform.h"
#include "protocol/poll.h"
#include "protocol/position_command.h"
#include "protocol/search_info.h"
#include "search/helper_threads.h"
#include "search/ordering.h"
#include "search/pv.h"
#include "search/search.h"
#include "search/solver_jobs.h"
#include "search_control.h"
#include "search_state.h"
#include "settings.h"

uint8_t best_move_stable;
uint16_t ponder_move;
ShownLine shown_best;
int16_t shown_best_claim;

namespace {

constexpr int FIRST_WINDOW = 230;

// The window of iteration 2 around the first pass's best score.
void open_window(uint8_t side, Iteration& it) {
  const int16_t best = first_pass(side);
  first_pass_score = best;
  it.alpha = static_cast<int16_t>(best - FIRST_WINDOW);
  it.beta = static_cast<int16_t>(best + FIRST_WINDOW);
  if (best - FIRST_WINDOW < -9999) {
    it.alpha = -9999;
    it.beta = -MATE_BOUND;
  }
  it.previous = best;
}

// One legal root move (made) of an iteration, searched and taken back; the
// solver's turn may follow it.
void search_root_move(uint8_t side, int i, Iteration& it, bool is_first, int16_t floor) {
  Move& m = move_stack[i];
  moves_tried++;
  report_currmove(m.from, m.to, moves_tried);
  capture_marker[1] = capture_mark(m);
  nodes++;

  bool became_best = false;
  uint8_t kind;
  if (is_first)
    kind = search_first_move(side, m, it);
  else
    became_best = test_later_move(side, m, it, &kind);
  if (floor != 0 && !became_best && holds_floor(m) && m.score < floor) m.score = floor;

  if (root_draw()) {
    m.score = side != root_side ? contempt : static_cast<int16_t>(-contempt);
    m.flags |= DRAW_MARK;
  }
  // A move stopped before its first result has no line of this iteration.
  if (multipv_lines > 1 && kind != SHOWN_NONE) record_multipv_line(side, m, i - root_list_first(), kind);
  unmake_move(side, m);
  poll_input(POLL_CLOCK_ONLY);
  if (solver_working()) {
    if (solver_turn_due()) solver_turn(side);
    if (const int16_t adopted = adopt_solver_line(side); adopted != 0) it.alpha = it.best = adopted;
  }

  helpers_aim(it.alpha);
  if (is_first && iteration_depth >= 5 && recapture_stop(side, i)) search_aborted = 1;
  if (became_best)
    bring_to_front(i);
  else if (multipv_lines > 1 && !is_first)
    raise_by_score(i);
}

// A mate a helper found with a root move the iteration has not reached
// yet: that move comes next, at `next`.
void search_helper_find_next(int next) {
  Move found;
  if (!take_helper_find(&found)) return;
  const int at = find_move(next, root_list_end(), move_key(found.from, found.to), found.flags);
  if (at < root_list_end()) move_ahead(at, next);
}

// One iteration over the root moves, one ply deeper than the last.
void iterate(uint8_t side, Iteration& it) {
  reported_depth++;
  iteration_depth++;
  horizon[1] = reported_depth;
  helpers_follow(reported_depth);
  if (seldepth < iteration_depth) seldepth = static_cast<uint8_t>(iteration_depth);
  const bool ponder_narrowing = pondering && new_ponder == 2;
  if (ponder_narrowing && iteration_depth == 6 && legal_root_moves > 1) narrow_ponder_moves();

  it.best = -SCORE_INF;
  if (const int16_t floor = mate_floor(); floor != 0) it.alpha = it.best = floor;
  moves_tried = 0;
  bool first_searched = false;
  for (int i = root_list_first(); i < root_list_end(); i++) {
    if (ponder_narrowing && iteration_depth >= 6 && i - root_list_first() >= legal_root_moves) continue;
    if (multipv_lines <= 1 && !ponder_narrowing) search_helper_find_next(i);
    if (!make_root_move(side, move_stack[i])) continue;
    const int16_t floor = mate_floor();
    const bool is_first = !first_searched && floor == 0;
    first_searched = true;
    search_root_move(side, i, it, is_first, floor);
    if ((iteration_depth >= 5 || solver_working()) && search_aborted) break;
  }
}

// After an iteration: the killers from its line, whether to go on, and the
// window of the next one.
void end_iteration(Iteration& it) {
  const int best_index = best_entry();
  poll_input(POLL_CLOCK_ONLY);
  // "go mate N" answers with a mate or a proof that there is none, so
  // reaching the last depth leaves the solver to settle it.
  const bool depth_ends = iteration_depth >= depth_limit && go_mate_moves == 0;
  if (!search_aborted && (stop_requested || depth_ends)) search_aborted = 1;
  for (int p = 1; p < PLY_SLOTS; p++) mate_killer[p] = 0;
  bool line_goes_on = true;
  for (int p = 1; p < PLY_SLOTS; p++) {
    if (pv_line[p] == 0) line_goes_on = false;
    killer1[p] = line_goes_on ? pv_line[p] : 0;
    killer2[p] = 0;
  }
  const int16_t score = move_stack[best_index].score;
  if (score <= mated_at_ply(2)) search_aborted = 1;
  if (search_aborted) return;
  if (score > MATE_BOUND) {
    it.alpha = static_cast<int16_t>(score - 1);
    it.beta = static_cast<int16_t>(score + 1);
  } else {
    it.alpha = MATE_TEST;
    it.beta = MATE_TEST + 1;
  }
  it.previous = score;
  best_by_depth[iteration_depth] = pv_line[1];
}

// The opponent played the move pondered on: play it and search for us.
uint8_t restart_on_ponder_move() {
  ponderhit_restart = 0;
  stop_requested = 0;
  search_aborted = 0;
  ply = 1;
  iteration_depth = 0;
  enter_move(ponder_move_text);
  side_to_move ^= 1;
  return side_to_move;
}

// UCI allows no bestmove during go infinite or go ponder before the GUI
// ends the search, even when it has ended by itself.
bool bestmove_must_wait() { return (pondering || time_mode == TM_INFINITE) && !stop_heard && !quit_requested; }

enum class SearchEnd { DONE, RESTART_ON_PONDER_MOVE };

// The iterations, until the search ends or a ponderhit restarts it.
SearchEnd iterations(uint8_t side, Iteration& it) {
  while (!search_aborted && iteration_depth < MAX_PLY) {
    iterate(side, it);
    if (ponderhit_restart) return SearchEnd::RESTART_ON_PONDER_MOVE;
    end_iteration(it);
  }
  return SearchEnd::DONE;
}

// Searches the position for `side` until the search is over.
SearchEnd search_position(uint8_t side) {
  reset_for_search(side);
  generate_root_moves(side);
  Iteration it{};
  best_move_stable = 1;
  bool searching = !search_aborted && !book_move_chosen;
  if (searching && key_search_wanted()) {
    search_keys(side);
    if (bestmove_must_wait()) hold_bestmove();
    return ponderhit_restart ? SearchEnd::RESTART_ON_PONDER_MOVE : SearchEnd::DONE;
  }
  // Tables that know the position have answered it exactly.
  if (searching && answer_from_tables(side)) {
    search_aborted = 1;
    searching = false;
  }
  // A spare thread is the solver's whatever the options say: the long mates
  // are its, and it takes no time from the alpha-beta search there.
  root_solver_begin(side, !searching                         ? SOLVER_UNWANTED
                          : go_mate_moves > 0 || mate_solver ? SOLVER_WANTED
                                                             : SOLVER_IF_SPARE_THREAD);
  if (searching) {
    open_window(side, it);
    helpers_start(side);
    root_solver_threads_started(side);
  }
  const SearchEnd end = iterations(side, it);
  if (end == SearchEnd::RESTART_ON_PONDER_MOVE) {
    helpers_stop();
    return end;
  }
  if (solver_working()) {
    if (!search_aborted) solver_alone(side);
    adopt_solver_line(side);
  }
  helpers_stop();
  if (bestmove_must_wait()) {
    hold_bestmove();
    if (ponderhit_restart) return SearchEnd::RESTART_ON_PONDER_MOVE;
  }
  return SearchEnd::DONE;
}

}  // namespace

void root_search(uint8_t side) {
  search_start = platform_tick_ms() / 10;
  std::memset(best_by_depth, 0, sizeof(best_by_depth));
  // The opponent played the move pondered on: the search starts over on it.
  while (search_position(side) == SearchEnd::RESTART_ON_PONDER_MOVE) side = restart_on_ponder_move();
  // A script that set a limit reads what the search used.
  if (search_time_limit_ms > 0 || search_node_limit > 0) report_figures();
  end_of_search(side, best_entry());
}
