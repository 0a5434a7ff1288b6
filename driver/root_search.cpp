// The root search. Only the first move of the first iteration is searched
// with a real window; every other root search tests for a mate with a null
// window at 9900, or for a shorter mate once one is known.
#include "driver/root_search.h"

#include <cstring>

#include "board.h"
#include "board/attacks.h"
#include "board/make_move.h"
#include "board/movegen.h"
#include "board/notation.h"
#include "board/repetition.h"
#include "driver/book.h"
#include "driver/learn_file.h"
#include "driver/shown_line.h"
#include "protocol/platform.h"
#include "protocol/poll.h"
#include "protocol/position_command.h"
#include "protocol/search_info.h"
#include "search/hash_tables.h"
#include "search/ordering.h"
#include "search/proof_search.h"
#include "search/pv.h"
#include "search/search.h"
#include "search/solver_turns.h"
#include "search/tt.h"
#include "search_state.h"
#include "settings.h"

uint8_t root_phase;
int16_t legal_root_moves;
int16_t moves_tried;
uint8_t best_move_stable;
uint16_t ponder_move;
uint8_t book_move_chosen;
int16_t first_pass_score;
ShownLine shown_best;
int16_t shown_best_claim;

namespace {

constexpr int16_t MATE_TEST = 9900;   // the null-window bound of the mate tests
constexpr int16_t ROOT_MATED = -9999;  // an illegal root move, or no move at all
constexpr int FIRST_WINDOW = 230;

// Report kinds: where in the root each principal variation comes from.
enum : int {
  REPORT_LONGER = 1,
  REPORT_FAIL_HIGH = 3,
  REPORT_TEST = 4,
  REPORT_BEST = 5,
  REPORT_MULTIPV = 7
};

int list_first() { return list_start[1]; }
int list_end() { return list_start[2]; }

uint16_t key_of(const Move& m) { return move_key(m.from, m.to); }

// The root move heads the line; its flags go with it so that a promotion is
// printed with its letter. It is made when this is called, so the root
// position's lock is the one its game record entry saved.
void set_root_move(const Move& m) {
  pv_line[1] = key_of(m);
  pv_flags[1] = static_cast<uint16_t>(m.flags);
  pv_lock[1] = game_record[game_index].prev_hash_lock;
}

// Selection sort by score, best first; the first of equal maxima wins.
void sort_root_list() {
  for (int i = list_first(); i < list_end(); i++) pick_best_move(i, list_end() - 1);
}

// Stored results hold only under the rules they were searched with: a
// position without a mate under a short mate limit, or with unverified null
// moves, may have one under a longer limit or with verified ones, and its
// stored bound would hide it.
void forget_results_of_other_rules() {
  static int8_t tables_limit;  // 0 while the tables hold no search results
  static uint8_t tables_zugzwang_safe;
  search_matt_in = go_mate_moves > 0 ? go_mate_moves : matt_in;
  // "go mate N" asks for a proof: zugzwangs must not hide it.
  search_zugzwang_safe = zugzwang_safe || go_mate_moves > 0;
  if (tables_limit != 0 && (tables_limit != search_matt_in || tables_zugzwang_safe != search_zugzwang_safe)) {
    clear_all_tables();
    if (learn_enabled) learn_load();
  }
  tables_limit = search_matt_in;
  tables_zugzwang_safe = search_zugzwang_safe;
}

void prepare(uint8_t side) {
  forget_results_of_other_rules();
  search_aborted = 0;
  stop_requested = 0;
  stop_heard = 0;
  for (int p = 0; p < PLY_SLOTS; p++) {
    killer1[p] = killer2[p] = mate_killer[p] = 0;
    pv_line[p] = pv_flags[p] = 0;
    list_start[p] = 0;
    horizon[p] = ext_count[p] = material_diff[p] = 0;
    check_count[p] = null_ply[p] = 0;
    node_flags[p] = 0;
    capture_marker[p] = 255;
  }
  probe_ply[WHITE] = probe_ply[BLACK] = 0;
  for (MultiPvLine& record : multipv_records) {
    std::memset(record.moves, 0, sizeof(record.moves));
    record.score = 0;
    record.shown.kind = SHOWN_NONE;
  }
  shown_best.kind = SHOWN_NONE;
  shown_best.moves[1] = 0;
  shown_best_claim = 0;
  hash_move = 0;
  last_to_square = 255;
  reset_history();

  ply = 1;
  root_side = (new_ponder != 0 && pondering) ? static_cast<uint8_t>(side ^ 1) : side;
  material_census();
  root_material(side);
  root_phase = game_phase;
  tt_new_search();
  clock_active = 0;
  time_allotted = 999999900;
  time_reserve = 0;
  nodes = next_poll_nodes = tt_hits = 0;
  null_move_count[WHITE] = null_move_count[BLACK] = 0;
  qnodes = 0;
  seldepth = 0;
  reported_depth = 1;
  ponder_move = 0;
  book_move_chosen = 0;
  book_new_search();
  legal_root_moves = 0;
  moves_tried = 0;
  first_pass_score = 0;
}

void look_up_hash_move(uint8_t side) {
  if (const uint16_t move = tt_move_of(side); move != 0) hash_move = move;
}

// Makes a root move; an illegal one is scored as mated, taken back, and false
// is returned.
bool make_root_move(uint8_t side, Move& m) {
  if (make_if_legal(side, m)) return true;
  m.score = ROOT_MATED;
  return false;
}

uint8_t capture_mark(const Move& m) { return (m.flags & CAPTURE) ? static_cast<uint8_t>(m.to + 1) : 0; }

void solver_turn(uint8_t side);

// The search of a root move (made). With the solver on it may be paused
// for the solver's turn: the move is then taken back for the turn and
// searched again.
int16_t search_child(uint8_t side, const Move& root, int16_t alpha, int16_t beta) {
  for (;;) {
    pause_allowed = solver_on;
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

// Counts legal moves, gives the book its chance, and lifts quiet moves that
// still carry the starting history value.
void legality_pass(uint8_t side) {
  const int16_t balance = static_cast<int16_t>(material[side] - material[side ^ 1]);
  int candidates = 0;
  for (int i = list_first(); i < list_end(); i++) {
    Move& m = move_stack[i];
    if (!make_root_move(side, m)) continue;
    legal_root_moves++;
    // A ponder search over the opponent's moves must not answer from the book.
    if ((root_phase == 0 || (root_phase == 1 && game_index < 48)) && use_engine_book && book_available &&
        side == root_side && candidates < BOOK_CANDIDATES && book_consider(m.from, m.to, candidates, side, balance))
      candidates++;
    if (m.score < -10000) m.score = static_cast<int16_t>(m.score + 32000);
    unmake_move(side, m);
  }
  if (legal_root_moves > MULTIPV_RECORDS) multipv_lines = 1;
  if (legal_root_moves == 0) {
    search_aborted = 1;
    move_stack[list_first()].score = ROOT_MATED;
    return;
  }
  if (candidates > 0 && book_choose(candidates)) book_move_chosen = 1;
}

// Iteration 1: every move with a one-ply search, then the list re-scored.
int16_t first_pass(uint8_t side) {
  if (in_check(side)) {
    node_flags[1] |= IN_CHECK;
    check_count[1] = 1;
  }
  sort_root_list();
  iteration_depth = 1;
  int16_t best = -SCORE_INF;
  for (int i = list_first(); i < list_end(); i++) {
    Move& m = move_stack[i];
    if (!make_root_move(side, m)) continue;
    nodes++;
    horizon[1] = 1;
    capture_marker[1] = capture_mark(m);
    const int16_t upper = best <= ROOT_MATED ? 9999 : static_cast<int16_t>(-best);
    ply = 2;
    const int16_t score = static_cast<int16_t>(-search(side ^ 1, 0, -9999, upper));
    ply = 1;
    m.score = score;
    if (score > best) {
      best = score;
      set_root_move(m);
      pv_line[2] = 0;
    }
    unmake_move(side, m);
    if (node_flags[2] & IN_CHECK) m.flags |= GIVES_CHECK;
  }

  look_up_hash_move(side);
  sort_root_list();
  const int king = piece_list[side][0];
  for (int i = list_first(); i < list_end(); i++) {
    Move& m = move_stack[i];
    if (i == list_first()) {
      m.score = static_cast<int16_t>(m.score + 3000);
      continue;
    }
    if (key_of(m) == hash_move)
      m.score = 2001;
    else if (m.from == king && m.from == king_home[side] && m.to == m.from + 2)
      m.score = 1200;
    if (m.flags & CAPTURE) m.score = static_cast<int16_t>(piece_value[board[m.to]] - board[m.from]);
    if (m.flags & GIVES_CHECK) m.score = static_cast<int16_t>(m.score + 500);
  }
  sort_root_list();
  return best;
}

// Repetition or fifty moves after the root move (still made).
bool root_draw() { return repetitions_in_game(2) >= 2 || fifty_moves_passed(); }

// NewPonder: at iteration 6 keep only the moves close to the first.
void narrow_ponder_moves() {
  const int first = list_first();
  for (int i = first + 1; i < list_end(); i++) pick_best_move(i, list_end() - 1);
  const int top = move_stack[first].score;
  int count = 1;
  for (int i = first + 1; i < list_end(); i++) {
    const int s = move_stack[i].score;
    if (s + 40 <= top) break;
    if (s + 20 > top) {
      count++;
    } else if (s + (7 - count) * 10 <= top) {
      break;
    } else {
      count++;
    }
  }
  legal_root_moves = static_cast<int16_t>(count);
}

struct Iteration {
  int16_t alpha, beta;
  int16_t previous;
  int16_t best;
};

// A new best line of the iteration: proven and completed before it is shown.
void set_best_line(uint8_t side, const Move& m, int16_t score, uint8_t kind) {
  build_shown_line(side, m, score, kind, &shown_best);
  shown_best_claim = score;
  // "go mate N" is answered once a mate of at most N moves can be shown.
  if (go_mate_moves > 0 && shown_best.kind == SHOWN_EXACT && shown_best.score >= MATE_SCORE - 2 * go_mate_moves)
    search_aborted = 1;
}

// Interim results (a mate that got longer, a fail high, a passed
// null-window test) are bounds: they are shown as such with the root move
// alone, so that a GUI sees a mate the moment it is known. The best line is
// shown as built by set_best_line.
void report(int kind, const Move& m, int16_t score) {
  if (kind != REPORT_MULTIPV && multipv_lines >= 2) return;
  if (kind == REPORT_BEST || kind == REPORT_MULTIPV) {
    report_search(shown_best);
    return;
  }
  ShownLine interim;
  shown_root_move(m, score, kind == REPORT_LONGER ? SHOWN_UPPER : SHOWN_LOWER, &interim);
  report_search(interim);
}

// What a search with the window lo .. hi says of its score.
uint8_t result_kind(int16_t score, int16_t lo, int16_t hi) {
  return score <= lo ? SHOWN_UPPER : score >= hi ? SHOWN_LOWER : SHOWN_EXACT;
}

// Returns what the move's score now is: a result of this iteration of
// some kind, or SHOWN_NONE when the search was stopped before it had one.
uint8_t search_first_move(uint8_t side, Move& m, Iteration& it, uint16_t* best_by_depth) {
  int16_t lo = it.alpha, hi = it.beta;
  int16_t score = search_child(side, m, lo, hi);
  if (search_aborted) {
    m.score = it.previous;
    return SHOWN_NONE;
  }
  const int16_t tested = score;
  bool researched = false;
  if (score <= it.alpha && score > MATE_TEST) {
    report(REPORT_LONGER, m, score);
    poll_input(POLL_CLOCK_ONLY);
    lo = MATE_TEST;
    hi = 9999;
    score = search_child(side, m, lo, hi);
    researched = true;
  } else if (score >= it.beta) {
    report(REPORT_FAIL_HIGH, m, score);
    lo = static_cast<int16_t>(score - 1);
    hi = 9999;
    score = search_child(side, m, lo, hi);
    researched = true;
    if (score >= 9999 && !search_aborted) {
      report(REPORT_TEST, m, score);
      const int16_t again = search_child(side, m, lo, hi);
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
  report(REPORT_BEST, m, score);
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

  const int16_t score = search_child(side, m, lower, it.beta);
  if (search_aborted) return false;
  m.score = score;
  *kind = result_kind(score, lower, it.beta);
  if (score <= it.alpha) return false;

  report(REPORT_TEST, m, score);
  const int16_t lo = it.alpha;
  int16_t result = search_child(side, m, lo, 9999);
  if (result <= it.alpha && !search_aborted) {
    report(REPORT_BEST, m, it.best);
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
  report(REPORT_BEST, m, result);
  return true;
}

// Moves the entry at `index` to the front of the list, the others sliding down.
void bring_to_front(int index) {
  const Move moved = move_stack[index];
  for (int i = index; i > list_first(); i--) move_stack[i] = move_stack[i - 1];
  move_stack[list_first()] = moved;
}

void record_multipv_line(uint8_t side, const Move& m, int position, uint8_t kind) {
  if (position >= MULTIPV_RECORDS) return;
  MultiPvLine& record = multipv_records[position];
  record.moves[1] = key_of(m);
  record.score = m.score;
  record.flags[1] = static_cast<uint16_t>(m.flags);
  record.locks[1] = game_record[game_index].prev_hash_lock;
  multipv_from_table(side ^ 1, 2, position);
  build_shown_line(side, m, m.score, kind, &record.shown);
  for (int k = position; k > 0 && multipv_records[k].score > multipv_records[k - 1].score; k--) {
    const MultiPvLine swap = multipv_records[k];
    multipv_records[k] = multipv_records[k - 1];
    multipv_records[k - 1] = swap;
  }
  report(REPORT_MULTIPV, m, m.score);
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

// --- The proof-number solver beside the alpha-beta search ---------------

ShownLine solver_shown;     // the solver's latest proven line, as printed
bool solver_line_waiting;   // printed, not yet taken into the root list

// The exact mate shown for the best move so far; 0 for none.
int16_t shown_mate() { return shown_best.kind == SHOWN_EXACT && shown_best.score > MATE_BOUND ? shown_best.score : 0; }

// The solver looks for a mate shorter than every one shown, within the
// search's limit.
int solver_target() {
  int16_t shown = shown_mate();
  if (solver_line_waiting && solver_shown.score > shown) shown = solver_shown.score;
  int moves = search_matt_in;
  if (shown != 0 && (MATE_SCORE - shown) / 2 - 1 < moves) moves = (MATE_SCORE - shown) / 2 - 1;
  return moves;
}

// A new job at the root position; with nothing shorter left to find, the
// solver has no more turns in this search.
void start_solver_job(uint8_t side) {
  const int target = solver_target();
  if (target >= 1)
    solver_start(side, target, 2);
  else
    solver_idle();
}

// The solver proved a mate: its line is built, confirmed and printed at
// once. "go mate N" is then answered; otherwise the solver goes on to a
// shorter mate.
void announce_solver_mate(uint8_t side) {
  const Move m = solver_mating_move();
  make_move(side, m);
  build_solver_line(side, m, solver_mate_distance(), &solver_shown);
  unmake_move(side, m);
  report_search(solver_shown);
  if (solver_shown.kind != SHOWN_EXACT) return;
  solver_line_waiting = true;
  if (go_mate_moves > 0) {
    search_aborted = 1;
    return;
  }
  start_solver_job(side);
}

// The solver's turn, the board at the root position.
void solver_turn(uint8_t side) {
  if (!solver_on || solver_state() != SOLVER_OPEN) return;
  // A mate the alpha-beta search has shown since makes the job's limit too long.
  if (solver_target() < solver_limit()) {
    start_solver_job(side);
    if (solver_state() != SOLVER_OPEN) return;
  }
  take_solver_turn();
  if (solver_state() == SOLVER_MATE) announce_solver_mate(side);
}

// Between two root moves: the solver's printed mate becomes the root's best
// move and the bound every later test must beat.
void adopt_solver_line(uint8_t side, Iteration& it) {
  if (!solver_line_waiting) return;
  solver_line_waiting = false;
  if (solver_shown.score <= shown_mate()) return;
  const uint16_t key = solver_shown.moves[1];
  for (int i = find_key(list_first(), list_end(), key); i < list_end(); i = find_key(i + 1, list_end(), key)) {
    Move& m = move_stack[i];
    const uint32_t promotion = PROMOTE | PROMO_MASK;
    if ((m.flags & promotion) != (solver_shown.flags[1] & promotion)) continue;
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
    it.alpha = it.best = m.score;
    return;
  }
}

// The alpha-beta search ended by itself: a search with no end of its own
// leaves the solver to go on alone.
void solver_alone(uint8_t side) {
  if (go_mate_moves == 0 && time_mode != TM_INFINITE && !pondering) return;
  while (solver_on && !search_aborted && solver_state() == SOLVER_OPEN) solver_turn(side);
}

// With the solver on, a mate once shown stays the best result: every root
// move, the first too, is only tested for a shorter one, and the move that
// holds the mate keeps its score.
int16_t mate_floor() { return solver_on ? shown_mate() : 0; }

bool holds_floor(const Move& m) {
  return key_of(m) == shown_best.moves[1] && static_cast<uint16_t>(m.flags) == shown_best.flags[1];
}

// UCI allows no bestmove during go infinite or go ponder before the GUI
// ends the search, even when it has ended by itself.
bool bestmove_must_wait() { return (pondering || time_mode == TM_INFINITE) && !stop_heard && !quit_requested; }

int best_entry() {
  for (int i = list_first(); i < list_end(); i++)
    if (key_of(move_stack[i]) == pv_line[1]) return i;
  return list_first();
}

}  // namespace

void root_search(uint8_t side, int /*mode*/) {
  search_start = platform_tick_ms() / 10;
  uint16_t best_by_depth[PLY_SLOTS + 1] = {};

  for (;;) {
    prepare(side);
    look_up_hash_move(side);
    list_start[1] = list_start[2] = 0;
    generate_moves(side);
    legality_pass(side);

    Iteration it{};
    best_move_stable = 1;
    solver_turns_begin((go_mate_moves > 0 || mate_solver) && !search_aborted && !book_move_chosen);
    solver_line_waiting = false;
    if (solver_on) start_solver_job(side);
    if (!search_aborted && !book_move_chosen) {
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

    bool restart = false;
    while (!search_aborted && iteration_depth < MAX_PLY) {
      reported_depth++;
      iteration_depth++;
      horizon[1] = reported_depth;
      if (seldepth < iteration_depth) seldepth = static_cast<uint8_t>(iteration_depth);
      const bool ponder_narrowing = pondering && new_ponder == 2;
      if (ponder_narrowing && iteration_depth == 6 && legal_root_moves > 1) narrow_ponder_moves();

      it.best = -SCORE_INF;
      if (const int16_t floor = mate_floor(); floor != 0) it.alpha = it.best = floor;
      moves_tried = 0;
      bool first_searched = false;
      for (int i = list_first(); i < list_end(); i++) {
        if (ponder_narrowing && iteration_depth >= 6 && i - list_first() >= legal_root_moves) continue;
        Move& m = move_stack[i];
        if (!make_root_move(side, m)) continue;
        moves_tried++;
        report_currmove(m.from, m.to, moves_tried);
        capture_marker[1] = capture_mark(m);
        nodes++;

        const int16_t floor = mate_floor();
        const bool is_first = !first_searched && floor == 0;
        first_searched = true;
        bool became_best = false;
        uint8_t kind;
        if (is_first)
          kind = search_first_move(side, m, it, best_by_depth);
        else
          became_best = test_later_move(side, m, it, &kind);
        if (floor != 0 && !became_best && holds_floor(m) && m.score < floor) m.score = floor;

        if (root_draw()) {
          m.score = side != root_side ? contempt : static_cast<int16_t>(-contempt);
          m.flags |= DRAW_MARK;
        }
        // A move stopped before its first result has no line of this iteration.
        if (multipv_lines > 1 && kind != SHOWN_NONE) record_multipv_line(side, m, i - list_first(), kind);
        unmake_move(side, m);
        poll_input(POLL_CLOCK_ONLY);
        if (solver_on) {
          if (solver_turn_due()) solver_turn(side);
          adopt_solver_line(side, it);
        }

        if (is_first && iteration_depth >= 5 && recapture_stop(side, i)) search_aborted = 1;
        if (became_best) {
          bring_to_front(i);
        } else if (multipv_lines > 1 && !is_first) {
          for (int k = i; k > list_first() && move_stack[k].score > move_stack[k - 1].score; k--) {
            const Move swap = move_stack[k];
            move_stack[k] = move_stack[k - 1];
            move_stack[k - 1] = swap;
          }
        }
        if ((iteration_depth >= 5 || solver_on) && search_aborted) break;
      }

      // End of iteration.
      if (ponderhit_restart) {
        side = restart_on_ponder_move();
        restart = true;
        break;
      }
      const int best_index = best_entry();
      poll_input(POLL_CLOCK_ONLY);
      if (!search_aborted && (stop_requested || iteration_depth >= depth_limit)) search_aborted = 1;
      for (int p = 1; p < PLY_SLOTS; p++) mate_killer[p] = 0;
      bool line_goes_on = true;
      for (int p = 1; p < PLY_SLOTS; p++) {
        if (pv_line[p] == 0) line_goes_on = false;
        killer1[p] = line_goes_on ? pv_line[p] : 0;
        killer2[p] = 0;
      }
      const int16_t score = move_stack[best_index].score;
      if (score <= -(MATE_SCORE - 2)) search_aborted = 1;
      if (!search_aborted) {
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
    }
    if (!restart && solver_on) {
      if (!search_aborted) solver_alone(side);
      adopt_solver_line(side, it);
    }
    if (!restart && bestmove_must_wait()) {
      hold_bestmove();
      if (ponderhit_restart) {
        side = restart_on_ponder_move();
        restart = true;
      }
    }
    if (!restart) break;
  }
  end_of_search(side, best_entry());
}
