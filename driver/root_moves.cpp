// The root move list: legality, the book, the first pass and its ordering.
#include "driver/root_moves.h"

#include "board.h"
#include "board/attacks.h"
#include "board/make_move.h"
#include "board/movegen.h"
#include "board/repetition.h"
#include "driver/book.h"
#include "driver/root_search.h"
#include "protocol/search_info.h"
#include "search/ordering.h"
#include "search/pv.h"
#include "search/search.h"
#include "search/tt.h"
#include "search_control.h"
#include "search_state.h"
#include "settings.h"

uint8_t root_phase;
int16_t legal_root_moves;
int16_t moves_tried;
uint8_t book_move_chosen;
int16_t first_pass_score;

namespace {

uint16_t key_of(const Move& m) { return move_key(m.from, m.to); }

// Selection sort by score, best first; the first of equal maxima wins.
void sort_root_list() {
  for (int i = root_list_first(); i < root_list_end(); i++) pick_best_move(i, root_list_end() - 1);
}

// Counts legal moves, gives the book its chance, and lifts quiet moves that
// still carry the starting history value.
void legality_pass(uint8_t side) {
  const int16_t balance = static_cast<int16_t>(material[side] - material[side ^ 1]);
  int candidates = 0;
  for (int i = root_list_first(); i < root_list_end(); i++) {
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
    // Mated or stalemated already: no move, so no mate to give.
    if (go_mate_moves > 0) report_no_mate(go_mate_moves);
    search_aborted = 1;
    move_stack[root_list_first()].score = ROOT_MATED;
    return;
  }
  if (candidates > 0 && book_choose(candidates)) book_move_chosen = 1;
}

}  // namespace

void set_root_move(const Move& m) {
  pv_line[1] = key_of(m);
  pv_flags[1] = static_cast<uint16_t>(m.flags);
  pv_lock[1] = game_record[game_index].prev_hash_lock;
}

void look_up_hash_move(uint8_t side) {
  if (const uint16_t move = tt_move_of(side); move != 0) hash_move = move;
}

bool make_root_move(uint8_t side, Move& m) {
  if (make_if_legal(side, m)) return true;
  m.score = ROOT_MATED;
  return false;
}

void generate_root_moves(uint8_t side) {
  look_up_hash_move(side);
  list_start[1] = list_start[2] = 0;
  generate_moves(side);
  legality_pass(side);
}

int16_t first_pass(uint8_t side) {
  if (in_check(side)) {
    node_flags[1] |= IN_CHECK;
    check_count[1] = 1;
  }
  sort_root_list();
  iteration_depth = 1;
  int16_t best = -SCORE_INF;
  for (int i = root_list_first(); i < root_list_end(); i++) {
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
  for (int i = root_list_first(); i < root_list_end(); i++) {
    Move& m = move_stack[i];
    if (i == root_list_first()) {
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

bool root_draw() { return repetitions_in_game(2) >= 2 || fifty_moves_passed(); }

void narrow_ponder_moves() {
  const int first = root_list_first();
  for (int i = first + 1; i < root_list_end(); i++) pick_best_move(i, root_list_end() - 1);
  const int top = move_stack[first].score;
  int count = 1;
  for (int i = first + 1; i < root_list_end(); i++) {
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

void move_ahead(int index, int to) {
  const Move moved = move_stack[index];
  for (int i = index; i > to; i--) move_stack[i] = move_stack[i - 1];
  move_stack[to] = moved;
}

void bring_to_front(int index) { move_ahead(index, root_list_first()); }

int best_entry() {
  for (int i = root_list_first(); i < root_list_end(); i++)
    if (key_of(move_stack[i]) == pv_line[1]) return i;
  return root_list_first();
}
