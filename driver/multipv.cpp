// MultiPV at the root.
#include "driver/multipv.h"

#include "board.h"
#include "driver/root_moves.h"
#include "driver/root_search.h"
#include "driver/shown_line.h"
#include "protocol/search_info.h"
#include "search/pv.h"
#include "search_state.h"

void record_multipv_line(uint8_t side, const Move& m, int position, uint8_t kind) {
  if (position >= MULTIPV_RECORDS) return;
  MultiPvLine& record = multipv_records[position];
  record.moves[1] = move_key(m.from, m.to);
  record.score = m.score;
  record.flags[1] = static_cast<uint16_t>(m.flags);
  record.locks[1] = game_record[game_index].prev_hash_lock;
  multipv_from_table(side ^ 1, 2, position);
  build_shown_line(side, m, m.score, kind, &record.shown);
  // Mated after this move: shown as exact only once proven, with the line
  // of the proof.
  if (kind == SHOWN_EXACT && m.score < -MATE_BOUND) {
    const int moves = prove_mated_line(side, -mate_distance(m.score) - 1, record.moves, record.flags);
    if (moves > 0)
      record.score = mated_at_ply(2 * moves + 1);  // the opponent's moves-th move mates
    else
      record.shown.kind = SHOWN_LOWER;
  }
  for (int k = position; k > 0 && multipv_records[k].score > multipv_records[k - 1].score; k--) {
    const MultiPvLine swap = multipv_records[k];
    multipv_records[k] = multipv_records[k - 1];
    multipv_records[k - 1] = swap;
  }
  // The best line is printed with the others below it.
  report_search(shown_best);
}

void raise_by_score(int index) {
  for (int k = index; k > root_list_first() && move_stack[k].score > move_stack[k - 1].score; k--) {
    const Move swap = move_stack[k];
    move_stack[k] = move_stack[k - 1];
    move_stack[k - 1] = swap;
  }
}
