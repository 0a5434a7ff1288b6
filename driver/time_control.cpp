// The one clock rule left to a mate searcher: a stable recapture is not
// searched forever.
#include "board.h"
#include "board/attacks.h"
#include "driver/root_search.h"
#include "search_control.h"
#include "search_state.h"
#include "settings.h"

bool recapture_stop(uint8_t side, int first_index) {
  const Move& m = move_stack[first_index];
  if (iteration_depth < 5) return false;
  if (time_mode != TM_CLOCK && time_mode != TM_MOVESTOGO) return false;
  if (!best_move_stable || game_index <= 1) return false;
  if (material[side] + 40 >= material[side ^ 1]) return false;
  const GameRecord& last = game_record[game_index];
  if (!(last.flags & CAPTURE) || key_to(last.move_key) != m.to) return false;
  if (pondering) return false;

  int64_t adjust = board[m.to] == QUEEN ? -10 : board[m.to] == PAWN ? 0 : -5;
  if (time_allotted < 1000) adjust -= 10;
  const int64_t factor = in_check(side) ? 2 : 1;
  return (30 + adjust) * int64_t{time_allotted} / 100 <= int64_t{elapsed} * factor || elapsed > 18000;
}
