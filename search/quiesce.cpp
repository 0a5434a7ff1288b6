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
  int16_t stand_pat;
  int16_t best;
  int margin;
  int check_mode;
  bool searched_any;
  if (in_check) {
    material_diff[p] = static_cast<int16_t>(material[side] - material[opp]);
    stand_pat = material_diff[p];
    generate_moves(side);
    if (list_start[p + 1] == list_start[p]) return mated_at_ply(p);
    searched_any = false;
    best = -SCORE_INF;
    margin = 250;
    check_mode = 0;
  } else {
    if (is_even(p)) return 0;
    stand_pat = root_material(side);
    if (stand_pat < 0 && alpha < 1 && perpetual_check(side)) stand_pat = alpha = 0;
    if (stand_pat > alpha) {
      if (stand_pat >= beta) return stand_pat;
      alpha = stand_pat;
    }
    if ((p <= horizon[p] + 5 || null_ply[p - 1] == p - 1) && piece_material[side] >= value_rook &&
        (null_ply[p] == 0 || null_ply[p] < null_ply[p - 1])) {
      check_mode = piece_material[side] >= value_queen ? 1 : 2;
      generate_captures_and_checks(side);
    } else {
      check_mode = 0;
      generate_captures(side);
    }
    if (list_start[p + 1] == list_start[p]) return stand_pat;
    searched_any = true;
    best = stand_pat;
    margin = piece_material[WHITE] + piece_material[BLACK] <= value_queen ? 700 : 250;
  }

  if (is_even(p) && p > 2 * search_matt_in) return 0;

  const int first = list_start[p];
  const int last = list_start[p + 1] - 1;
  const int16_t alpha_at_loop = alpha;
  int best_index = -1;
  const int enemy_king = piece_list[opp][0];
  for (int i = first; i <= last; i++) {
    pick_best_move(i, last);
    Move& m = move_stack[i];
    nodes++;
    qnodes++;
    if ((m.flags & PROMOTE) && (m.flags & PROMO_MASK) == KNIGHT) continue;

    const bool hash = m.score >= 4000;
    const int mover = board[m.from];
    const int victim = board[m.to];
    if (!hash) {
      const bool losing = pawn_attacks[opp][m.to] != 0 && order_value[mover] - order_value[victim] > 100;
      if (check_mode == 0) {
        const bool must_search = in_check && (!searched_any || best <= -MATE_BOUND);
        if (!must_search) {
          const bool promotes_high = (m.flags & PROMOTE) && (m.flags & PROMO_MASK) != KNIGHT;
          if (stand_pat + piece_value[victim] + margin < alpha && !promotes_high) continue;
          if (losing) continue;
        }
      } else if (losing) {
        continue;
      }
    }

    // Illegal moves, and moves the check rule skips, are settled from the
    // square sets as if played and taken back (which leaves traces).
    if (exposes_king(m.from, m.to, m.flags, side)) {
      leave_trial_traces(side, m.from, m.to, m.flags);
      m.score = mated_at_ply(p);
      continue;
    }

    if (!hash && check_mode != 0) {
      const int captured = (m.flags & EN_PASSANT) ? PAWN : victim;
      const bool promotion = (m.flags & PROMOTE) != 0;
      const bool worth_it = captured != NO_PIECE && stand_pat + piece_value[captured] + margin >= alpha;
      if (!promotion && !worth_it) {
        auto attacked = [&](int square, uint8_t by) { return attacked_after(square, by, side, m.from, m.to, m.flags); };
        bool skip = false;
        if (captured != NO_PIECE) skip = pawn_attacks[opp][m.to] != 0 || !could_check(mover, m.to, enemy_king);
        if (!skip) {
          skip = !attacked(enemy_king, side);
          if (!skip && check_mode == 1) skip = !attacked(m.to, side) && attacked(m.to, opp);
        }
        if (skip) {
          leave_trial_traces(side, m.from, m.to, m.flags);
          continue;
        }
      }
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
