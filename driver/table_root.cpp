// The endgame tables' answer at the root: the exact result at once, with
// the line read from the tables.
#include "driver/table_root.h"

#include <cstdio>

#include "board.h"
#include "board/make_move.h"
#include "driver/root_moves.h"
#include "driver/root_search.h"
#include "protocol/search_info.h"
#include "search/pv.h"
#include "search/table_line.h"
#include "search/table_score.h"
#include "search/tables.h"
#include "search_control.h"
#include "search_state.h"
#include "settings.h"

namespace {

void tables_contradict() {
  std::fputs("info string GaviotaTbPath: the tables contradict themselves (a damaged file?), tables off\n", stdout);
  std::fflush(stdout);
  tables_close();
}

// The line after the root move, read from the tables with the move made.
int line_after(uint8_t side, const Move& m, ShownLine* line) {
  make_move(side, m);
  const int end = table_line(side ^ 1, 2, PV_LAST_MOVE_INDEX, line->moves, line->flags);
  unmake_move(side, m);
  return end;
}

}  // namespace

bool answer_from_tables(uint8_t side) {
  if (multipv_lines > 1 || !tables_cover()) return false;
  ply = 1;
  int16_t promised;
  if (!table_score(side, 1, &promised)) return false;
  int best = 0;
  int16_t score = 0;
  if (!table_choice(side, 1, root_list_first(), root_list_end() - 1, &best, &score)) return false;
  ShownLine line{};
  const int end = line_after(side, move_stack[best], &line);
  const bool mate = score > MATE_BOUND || score < -MATE_BOUND;
  // The line must reach the mate its score promises; a draw shows one move.
  if (score != promised || end == TABLE_LINE_CONTRADICTS || (mate && end != mate_ply(score))) {
    tables_contradict();
    return false;
  }

  move_ahead(best, root_list_first());
  Move& m = move_stack[root_list_first()];
  m.score = score;
  line.moves[1] = move_key(m.from, m.to);
  line.flags[1] = static_cast<uint16_t>(m.flags);
  line.score = score;
  line.kind = SHOWN_EXACT;
  for (int i = 1; i < PV_SLOTS; i++) {
    pv_line[i] = line.moves[i];
    pv_flags[i] = line.flags[i];
  }
  shown_best = line;
  shown_best_claim = score;
  reported_depth = static_cast<int8_t>(end > 2 ? end - 1 : 1);
  seldepth = static_cast<uint8_t>(reported_depth);
  report_exact_line(line);
  // "go mate N": a longer mate, a draw or a loss is no mate in N.
  if (go_mate_moves > 0 && (score < MATE_BOUND || mate_distance(score) > go_mate_moves)) report_no_mate(go_mate_moves);
  return true;
}
