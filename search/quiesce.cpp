// The search beyond the horizon. The defender only answers checks; the
// attacker stands pat on material, captures, and close to the horizon also
// gives checks. A perpetual check by a losing attacker counts as a draw.
#include "board.h"
#include "board/attacks.h"
#include "board/make_move.h"
#include "board/movegen.h"
#include "search/ordering.h"
#include "search/search.h"
#include "search/tt.h"
#include "search_control.h"
#include "search_state.h"
#include "settings.h"

namespace {

bool is_even(int p) { return (p & 1) == 0; }

// The opponent node at ply q was in check and its reply captured nothing.
bool checked_without_capture(int q) { return q >= 0 && (node_flags[q] & IN_CHECK) && capture_marker[q] == 0; }

// What the moves of one quiescence node share.
struct QNode {
  uint8_t side, opp;
  bool in_check;
  int16_t stand_pat;
  int margin;
  int check_mode;  // 0: captures (or evasions) only; 1: checks too, with a queen; 2: checks too, without
  int enemy_king;
};

// A move not worth searching (the hash move is always searched): with
// captures only, one that cannot raise alpha even with a margin, or that
// loses the capturing piece to a pawn, unless an evasion must still be
// found; with checks, one that loses its piece to a pawn.
bool pruned(const QNode& q, const Move& m, int16_t alpha, int16_t best, bool searched_any) {
  const int mover = board[m.from];
  const int victim = board[m.to];
  const bool losing = pawn_attacks[q.opp][m.to] != 0 && order_value[mover] - order_value[victim] > 100;
  if (q.check_mode != 0) return losing;
  const bool must_search = q.in_check && (!searched_any || best <= -MATE_BOUND);
  if (must_search) return false;
  const bool promotes_high = (m.flags & PROMOTE) && (m.flags & PROMO_MASK) != KNIGHT;
  if (q.stand_pat + piece_value[victim] + q.margin < alpha && !promotes_high) return true;
  return losing;
}

// Where checks are searched: a move that neither promotes nor captures
// enough is searched only when it gives check, and, with a queen, only
// when its square is safe (defended, or not attacked).
bool check_not_worth_it(const QNode& q, const Move& m, int16_t alpha) {
  const int mover = board[m.from];
  const int captured = (m.flags & EN_PASSANT) ? static_cast<int>(PAWN) : board[m.to];
  const bool promotion = (m.flags & PROMOTE) != 0;
  const bool worth_it = captured != NO_PIECE && q.stand_pat + piece_value[captured] + q.margin >= alpha;
  if (promotion || worth_it) return false;
  auto attacked = [&](int square, uint8_t by) { return attacked_after(square, by, q.side, m.from, m.to, m.flags); };
  if (captured != NO_PIECE && (pawn_attacks[q.opp][m.to] != 0 || !could_check(mover, m.to, q.enemy_king))) return true;
  if (!attacked(q.enemy_king, q.side)) return true;
  return q.check_mode == 1 && !attacked(m.to, q.side) && attacked(m.to, q.opp);
}

}  // namespace

bool perpetual_check(uint8_t side) {
  const int p = ply;
  if (p < 1 || check_count[p - 1] < 7) return false;
  for (int k = 0; k < 7; k++)
    if (!checked_without_capture(p - 1 - 2 * k)) return false;
  if (piece_material[side] == value_queen) {
    if (check_count[p - 1] < 13) return false;
    for (int k = 7; k < 13; k++)
      if (!checked_without_capture(p - 1 - 2 * k)) return false;
  }
  // One piece kept moving on: each of the attacker's last five moves starts
  // where the one before ended.
  const int g = game_index;
  if (g - 9 < 1) return false;
  for (int k = 1; k <= 7; k += 2)
    if (key_from(game_record[g - k].move_key) != key_to(game_record[g - k - 2].move_key)) return false;
  return true;
}

namespace {

// The node's moves: evasions in check; else, after standing pat, captures,
// and near the horizon checks too. Fills in what the moves share and the
// best score so far; false, with *settled, when that settles the node.
bool prepare_moves(QNode& q, int16_t* alpha, int16_t beta, int16_t* best, bool* searched_any, int16_t* settled) {
  const int p = ply;
  const uint8_t side = q.side;
  if (q.in_check) {
    material_diff[p] = static_cast<int16_t>(material[side] - material[q.opp]);
    q.stand_pat = material_diff[p];
    generate_moves(side);
    *settled = mated_at_ply(p);
    if (list_start[p + 1] == list_start[p]) return false;
    *searched_any = false;
    *best = -SCORE_INF;
    q.margin = 250;
    q.check_mode = 0;
    return true;
  }
  *settled = 0;
  if (is_even(p)) return false;
  q.stand_pat = root_material(side);
  if (q.stand_pat < 0 && *alpha < 1 && perpetual_check(side)) q.stand_pat = *alpha = 0;
  *settled = q.stand_pat;
  if (q.stand_pat > *alpha) {
    if (q.stand_pat >= beta) return false;
    *alpha = q.stand_pat;
  }
  if ((p <= horizon[p] + 5 || null_ply[p - 1] == p - 1) && piece_material[side] >= value_rook &&
      (null_ply[p] == 0 || null_ply[p] < null_ply[p - 1])) {
    q.check_mode = piece_material[side] >= value_queen ? 1 : 2;
    generate_captures_and_checks(side);
  } else {
    q.check_mode = 0;
    generate_captures(side);
  }
  if (list_start[p + 1] == list_start[p]) return false;
  *searched_any = true;
  *best = q.stand_pat;
  q.margin = piece_material[WHITE] + piece_material[BLACK] <= value_queen ? 700 : 250;
  return true;
}

}  // namespace

int16_t quiesce(uint8_t side, int16_t alpha, int16_t beta, int qs_mode) {
  const uint8_t opp = side ^ 1;
  const int p = ply;

  // Polling and stopping as in the main search.
  if (poll_and_stop()) return 0;

  ext_count[p] = 0;
  horizon[p] = horizon[p - 1];
  null_ply[p] = null_ply[p - 2];
  check_count[p] = check_count[p - 2];
  if (p >= seldepth) {
    if (p == MAX_PLY) return beta;
    seldepth = static_cast<uint8_t>(p);
  }
  node_flags[p] = 0;
  if (alpha + p > mate_at_ply(2)) return material_diff[p];

  const bool in_check = square_attacked(piece_list[side][0], opp) != 0;
  if (in_check) {
    node_flags[p] |= IN_CHECK;
    if (qs_mode == QS_FROM_PROBE) return alpha;
    check_count[p]++;
    horizon[p]++;
  }

  // Table probe.
  hash_move = 0;
  if (const TtEntry* entry = tt_probe_slot(side)) {
    if (tt_usable_quiesce(*entry)) {
      const int16_t score = tt_score_from_slot(*entry);
      if (tt_bound_cuts(*entry, score, alpha, beta)) return score;
    }
    hash_move = entry->move;
  }

  list_start[p + 1] = list_start[p];
  QNode q{side, opp, in_check, 0, 0, 0, piece_list[opp][0]};
  int16_t best;
  bool searched_any;
  if (int16_t settled; !prepare_moves(q, &alpha, beta, &best, &searched_any, &settled)) return settled;

  if (is_even(p) && p > 2 * search_matt_in) return 0;

  const int first = list_start[p];
  const int last = list_start[p + 1] - 1;
  const int16_t alpha_at_loop = alpha;
  int best_index = -1;
  for (int i = first; i <= last; i++) {
    pick_best_move(i, last);
    Move& m = move_stack[i];
    nodes++;
    qnodes++;
    if ((m.flags & PROMOTE) && (m.flags & PROMO_MASK) == KNIGHT) continue;

    const bool hash = m.score >= 4000;
    if (!hash && pruned(q, m, alpha, best, searched_any)) continue;

    // Illegal moves, and moves the check rule skips, are settled from the
    // square sets as if played and taken back (which leaves traces).
    if (exposes_king(m.from, m.to, m.flags, side)) {
      leave_trial_traces(side, m.from, m.to, m.flags);
      m.score = mated_at_ply(p);
      continue;
    }
    if (!hash && q.check_mode != 0 && check_not_worth_it(q, m, alpha)) {
      leave_trial_traces(side, m.from, m.to, m.flags);
      continue;
    }

    make_move(side, m);
    ply++;
    const int16_t score = static_cast<int16_t>(-quiesce(opp, static_cast<int16_t>(-beta), static_cast<int16_t>(-alpha), 0));
    ply--;
    m.score = score;
    unmake_move(side, m);
    searched_any = true;
    if (search_aborted) return 0;

    if (score > best) {
      if (score > alpha) {
        if (score >= beta) {
          tt_store(side, score, TT_FROM_QUIESCE, m.from, m.to, TT_LOWER, m.flags);
          return score;
        }
        alpha = score;
      }
      best = score;
      best_index = i;
    }
  }

  if (!searched_any) return mated_at_ply(p);
  if (alpha == alpha_at_loop || best_index < 0) return best;
  const Move& best_move = move_stack[best_index];
  tt_store(side, best, TT_FROM_QUIESCE, best_move.from, best_move.to, TT_LOWER, best_move.flags);
  return best;
}
