// The null move: the record of a move that changes nothing but the side to
// move, and its search at the defender's nodes.
#include "search/null_move.h"

#include <cassert>

#include "board.h"
#include "search/search_node.h"
#include "search/tt.h"
#include "search_control.h"
#include "search_state.h"
#include "settings.h"

PER_THREAD int verifying_ply;

void make_null_move() {
  assert(game_index + 1 < GAME_RECORD_SIZE);
  GameRecord& record = game_record[++game_index];
  record.move_key = 0;
  record.captured_piece = NO_PIECE;
  record.captured_color = NEUTRAL;
  record.flags = 0;
  record.prev_irreversible = irreversible_index;
  record.prev_hash_key = hash_key;
  record.prev_hash_lock = hash_lock;
  record.prev_pawn_key = pawn_key;
  record.prev_ep_square = ep_square;
  irreversible_index = game_index;
  ep_square = -1;
  last_to_square = 255;
}

void unmake_null_move() {
  const GameRecord& record = game_record[game_index--];
  hash_key = record.prev_hash_key;
  hash_lock = record.prev_hash_lock;
  pawn_key = record.prev_pawn_key;
  ep_square = record.prev_ep_square;
  irreversible_index = record.prev_irreversible;
}

int16_t null_move_search(uint8_t side, uint8_t probe_mark, int16_t beta, int reduction, bool threat_test,
                         uint8_t last_to_entry) {
  const int p = ply;
  const uint8_t opp = side ^ 1;
  const uint16_t saved_hash_move = hash_move;
  make_null_move();
  capture_marker[p] = 0;
  nodes++;
  null_move_count[side]++;
  if (!threat_test) null_ply[p] = static_cast<uint8_t>(p);
  horizon[p] = static_cast<int16_t>(horizon[p] - reduction);
  int16_t score;
  ply++;
  if (threat_test)
    score = static_cast<int16_t>(-search(opp, static_cast<uint8_t>(probe_mark + 1), MATE_BOUND, MATE_BOUND + 1));
  else if (ply > horizon[p])
    score = static_cast<int16_t>(-quiesce(opp, static_cast<int16_t>(-beta), static_cast<int16_t>(1 - beta), 0));
  else
    score = static_cast<int16_t>(
        -search(opp, static_cast<uint8_t>(probe_mark + 1), static_cast<int16_t>(-beta), static_cast<int16_t>(1 - beta)));
  ply--;
  unmake_null_move();
  horizon[p] = static_cast<int16_t>(horizon[p] + reduction);
  if (!threat_test) null_ply[p] = null_ply[p - 2];
  last_to_square = last_to_entry;
  hash_move = saved_hash_move;
  return score;
}

namespace {

// In a zugzwang the defender's pass is its best "move", so a null move that
// fails high proves nothing there. The node is searched again without it,
// to the depth the null move was searched to; only if that fails high too
// does the cutoff stand. A mate hidden at this depth is seen once the
// iterations reach deep enough.
bool null_cutoff_verified(uint8_t side, uint8_t probe_mark, int16_t beta, int reduction) {
  const int p = ply;
  const int saved_verifying = verifying_ply;
  const PlyMarks node = ply_marks(p);
  const int16_t parent_horizon = horizon[p - 1];
  const uint16_t saved_hash_move = hash_move;
  // The node copies its horizon from the parent's on entry.
  horizon[p - 1] = static_cast<int16_t>(horizon[p] - reduction);
  verifying_ply = p;
  const int16_t score = search(side, probe_mark, static_cast<int16_t>(beta - 1), beta);
  verifying_ply = saved_verifying;
  horizon[p - 1] = parent_horizon;
  restore_ply_marks(p, node);
  hash_move = saved_hash_move;
  list_start[p + 1] = list_start[p];
  return score >= beta;
}

}  // namespace

bool null_move_ends_node(const Node& n, int16_t alpha, int16_t beta, int16_t* threat_state, int16_t* result) {
  const int p = n.p;
  const int reduction = p < horizon[p] - 4 ? 3 : 2;
  const int16_t score = null_move_search(n.side, n.probe_mark, beta, reduction, false, n.last_to_entry);
  *result = 0;
  if (search_aborted) return true;
  *result = score;
  if (score >= beta && !search_zugzwang_safe) {
    tt_store(n.side, score, TT_FROM_SEARCH, 0, 0, TT_LOWER);
    return true;
  }
  // A verified cutoff is stored by the verification, at the depth it was
  // searched to: stored at full depth, it would pass as verified in the
  // next iteration without a deeper look.
  if (score >= beta && null_cutoff_verified(n.side, n.probe_mark, beta, reduction)) return true;
  *result = 0;
  if (search_aborted) return true;
  if (score < -MATE_BOUND) {
    node_flags[p] |= MATE_THREAT;
    *result = alpha;
    if (n.probe_mark == REDUCED_PROBE && is_even(p)) return true;
    *threat_state = THREAT_SEEN;
  }
  return false;
}
