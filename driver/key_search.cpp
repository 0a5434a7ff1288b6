// Every key of a mate problem. The root moves are taken in rounds, each job
// with a budget that grows from round to round, so that a move that is hard
// to decide does not hold up the easy keys behind it. A key once proven is
// tried again for a shorter mate, so each is shown at its own distance.
#include "driver/key_search.h"

#include <cstdint>

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
#include "search_control.h"
#include "search_state.h"
#include "settings.h"

namespace {

constexpr uint32_t FIRST_BUDGET = 10000;  // moves a job makes in the first round
constexpr int FIRST_PLY = 2;              // the jobs' slices follow the root list

bool legal_root_move(uint8_t side, int i) {
  if (!make_root_move(side, move_stack[i])) return false;
  unmake_move(side, move_stack[i]);
  return true;
}

// Per root move (by its index from the root list's first): the moves a
// mate with it is still looked for within; 0 once it is decided.
int open_moves[MAX_MOVES_PER_PLY];
bool table_cleared_for[MAX_MOVES_PER_PLY];
int unshown_key;  // a move proven to mate whose line could not be checked; -1 for none

// The key's line takes its place among those shown, shortest mate first;
// a key shown before with a longer mate gives up its old place.
void show_key(const ShownLine& line) {
  int at = 0;
  while (at < key_lines_shown && (multipv_records[at].shown.moves[1] != line.moves[1] ||
                                  multipv_records[at].shown.flags[1] != line.flags[1]))
    at++;
  if (at == MULTIPV_RECORDS) at--;  // more keys than records: the longest gives way
  if (at == key_lines_shown) key_lines_shown++;
  for (; at > 0 && multipv_records[at - 1].score < line.score; at--) multipv_records[at] = multipv_records[at - 1];
  multipv_records[at].score = line.score;
  multipv_records[at].shown = line;
  report_keys();
}

// One job's turn for the root move at `index`; a mate proven with it is
// checked on the board and shown, and the move is then tried for a
// shorter one.
void decide(uint8_t side, int index, uint32_t budget) {
  Move& m = move_stack[index];
  int& open = open_moves[index - root_list_first()];
  solver_start_key(side, m, open, FIRST_PLY);
  const SolverState state = solver_run(budget, INT32_MAX);
  poll_input(POLL_CLOCK_ONLY);
  if (state == SOLVER_NO_MATE) open = 0;
  if (state != SOLVER_MATE) return;
  const int distance = solver_mate_distance();
  ShownLine line;
  make_move(side, m);
  build_solver_line(side, m, distance, &line);
  unmake_move(side, m);
  if (line.kind == SHOWN_EXACT) {
    open = distance - 1;
    show_key(line);
    return;
  }
  // Once per move it is proven again from an empty table; after that the
  // move is left unshown, and no absence of a mate is claimed.
  if (solver_table_restart_once(&table_cleared_for[index - root_list_first()])) return;
  open = 0;
  unshown_key = index;
}

// Each round's budget four times the last's, as far as it goes.
uint32_t next_budget(uint32_t budget) { return budget < UINT32_MAX / 4 ? budget * 4 : UINT32_MAX; }

// The shortest key becomes the root's best move, with its line; without a
// key shown, a key whose line could not be shown, or else the first legal
// move.
void choose_best_key(uint8_t side) {
  int best = unshown_key >= 0 ? unshown_key : root_list_end();
  if (key_lines_shown > 0) {
    const ShownLine& line = multipv_records[0].shown;
    best = find_move(root_list_first(), root_list_end(), line.moves[1], line.flags[1]);
    shown_best = line;
    shown_best_claim = line.score;
  }
  for (int i = root_list_first(); i < root_list_end() && best == root_list_end(); i++)
    if (legal_root_move(side, i)) best = i;
  if (best == root_list_end()) return;
  Move& m = move_stack[best];
  if (key_lines_shown > 0) m.score = shown_best.score;
  make_move(side, m);
  set_root_move(m);
  unmake_move(side, m);
}

}  // namespace

bool key_search_wanted() { return go_mate_moves > 0 && multipv_lines >= 2; }

void search_keys(uint8_t side) {
  // Beyond the move stack's reach a move left without a mate proves nothing.
  const bool proves_absence = solver_reach(go_mate_moves, FIRST_PLY) >= go_mate_moves;
  // The depth shown is the plies of the longest mate looked for.
  reported_depth = static_cast<int8_t>(2 * go_mate_moves - 1);
  seldepth = static_cast<uint8_t>(reported_depth);
  const int first = root_list_first();
  for (int i = first; i < root_list_end(); i++) {
    open_moves[i - first] = legal_root_move(side, i) ? go_mate_moves : 0;
    table_cleared_for[i - first] = false;
  }
  unshown_key = -1;
  bool undecided = true;
  for (uint32_t budget = FIRST_BUDGET; undecided && !search_aborted; budget = next_budget(budget)) {
    undecided = false;
    for (int i = first; i < root_list_end() && !search_aborted; i++) {
      if (open_moves[i - first] == 0) continue;
      decide(side, i, budget);
      undecided = undecided || open_moves[i - first] > 0;
    }
  }
  if (!search_aborted && key_lines_shown == 0 && unshown_key < 0 && proves_absence) report_no_mate(go_mate_moves);
  choose_best_key(side);
  search_aborted = 1;
}
