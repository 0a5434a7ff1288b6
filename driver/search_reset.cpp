// The start of every search: what it keeps between searches set back.
#include "driver/search_reset.h"

#include <cstring>

#include "board.h"
#include "driver/book.h"
#include "driver/learn_file.h"
#include "driver/root_search.h"
#include "protocol/poll.h"
#include "protocol/search_info.h"
#include "search/hash_tables.h"
#include "search/helper_threads.h"
#include "search/ordering.h"
#include "search/pv.h"
#include "search/search.h"
#include "search/tt.h"
#include "search_control.h"
#include "search_state.h"
#include "settings.h"

namespace {

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

}  // namespace

void reset_for_search(uint8_t side) {
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
  key_lines_shown = 0;
  report_new_search();
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
  helpers_new_search();
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
