// The main search. The attacker moves at odd plies, the defender at even
// plies; the defender's plies are limited by Matt_in, and the defender's
// nodes get the null move, the threat extension and the only-move extension.
#include "search/search.h"

#include "board.h"
#include "board/attacks.h"
#include "board/make_move.h"
#include "board/movegen.h"
#include "board/repetition.h"
#include "search/helper_threads.h"
#include "search/null_move.h"
#include "search/ordering.h"
#include "search/search_node.h"
#include "search/search_poll.h"
#include "search/solver_jobs.h"
#include "search/table_score.h"
#include "search/tt.h"
#include "search_control.h"
#include "search_state.h"
#include "settings.h"

namespace {

// The move searched again with the full window and the horizon raised by
// `extension`; returns its score, also kept in m.score.
int16_t search_extended(const Node& n, Move& m, int extension, int16_t alpha, int16_t beta) {
  const int p = n.p;
  make_move(n.side, m);
  nodes++;
  capture_marker[p] = capture_mark(m);
  horizon[p] = static_cast<int16_t>(horizon[p] + extension);
  ext_count[p] = static_cast<int16_t>(ext_count[p] + extension);
  const int16_t score = child(n.opp, n.child_probe_mark, static_cast<int16_t>(-beta), static_cast<int16_t>(-alpha));
  m.score = score;
  horizon[p] = static_cast<int16_t>(horizon[p] - extension);
  ext_count[p] = static_cast<int16_t>(ext_count[p] - extension);
  probe_ply[n.side] = n.probe_ply_entry;
  unmake_move(n.side, m);
  return score;
}

// Threat extension at a defender node: a move that raised alpha is searched
// a ply deeper when the attacker threatens mate, as the table or the null
// move said, or as a null-move test made now says. Returns whether it was
// searched again (*score then holds the new result); the caller checks
// search_aborted.
bool threat_extension(const Node& n, Move& m, int16_t* threat_state, int16_t alpha, int16_t beta, int16_t* score) {
  const int p = n.p;
  if (*score <= alpha || *threat_state == THREAT_NONE || *score <= -MATE_BOUND || !is_even(p) ||
      p >= horizon[p] - 3 || (null_ply[p - 1] != 0 && null_ply[p - 1] >= null_ply[p]))
    return false;
  if (*threat_state != THREAT_SEEN) {
    // One test a node.
    *threat_state = THREAT_NONE;
    const PlyMarks child_marks = ply_marks(p + 1);
    const int16_t test = null_move_search(n.side, n.probe_mark, beta, NULL_THREAT_REDUCTION, true, n.last_to_entry);
    restore_ply_marks(p + 1, child_marks);
    if (search_aborted || test >= -MATE_BOUND) return false;
    node_flags[p] |= MATE_THREAT;
    *threat_state = THREAT_SEEN;
  }
  *score = search_extended(n, m, 1, alpha, beta);
  return true;
}

// Only-move extension at a defender node, for a king move or a side left
// with pawns alone: when every other move is illegal or loses to a mate,
// the move at index i that raised alpha is searched deeper. Returns whether it was
// (*score then holds the new result); the caller checks search_aborted.
bool only_move_extension(const Node& n, int i, Move& m, int16_t alpha, int16_t beta, int16_t* score) {
  const int p = n.p;
  if (*score <= alpha || !is_even(p) || ext_count[p] >= 1 || (board[m.from] != KING && piece_material[n.side] > 0))
    return false;
  for (int j = n.first; j <= n.last; j++) {
    if (j == i) continue;
    if (j > i)
      pick_best_move(j, n.last);
    else if (move_stack[j].score <= -MATE_BOUND)
      continue;
    Move& other = move_stack[j];
    const bool legal = make_if_legal(n.side, other);
    nodes++;
    if (!legal) {
      other.score = mated_at_ply(p);
      continue;
    }
    capture_marker[p] = capture_mark(other);
    horizon[p] = static_cast<int16_t>(horizon[p] - PROBE_REDUCTION);
    const int16_t test = child(n.opp, n.child_probe_mark, MATE_BOUND - 1, MATE_BOUND);
    probe_ply[n.side] = n.probe_ply_entry;
    horizon[p] = static_cast<int16_t>(horizon[p] + PROBE_REDUCTION);
    unmake_move(n.side, other);
    if (search_aborted || test >= -(MATE_BOUND - 1)) return false;
  }
  const int extension = ext_count[p - 2] > 1 ? 2 : 1;
  *score = search_extended(n, m, extension, alpha, beta);
  return true;
}

// The search of the move made at the node: with the full window, or as a
// reduced null-window probe that stands when it fails low, unless the
// reply gave check or found a mate threat at a defender node (then the
// move is searched again with the full window). Returns its score, also
// kept in m.score.
int16_t search_made_move(const Node& n, Move& m, bool full_window, int16_t alpha, int16_t beta, bool* reduced_accepted) {
  const int p = n.p;
  int16_t score;
  if (full_window) {
    score = child(n.opp, n.child_probe_mark, static_cast<int16_t>(-beta), static_cast<int16_t>(-alpha));
    m.score = score;
    return score;
  }
  horizon[p] = static_cast<int16_t>(horizon[p] - PROBE_REDUCTION);
  probe_ply[n.side] = static_cast<uint8_t>(p + 1);
  score = child(n.opp, REDUCED_PROBE, static_cast<int16_t>(-alpha - 1), static_cast<int16_t>(-alpha));
  probe_ply[n.side] = n.probe_ply_entry;
  horizon[p] = static_cast<int16_t>(horizon[p] + PROBE_REDUCTION);
  m.score = score;
  const bool child_threat = (node_flags[p + 1] & MATE_THREAT) && is_even(p + 1);
  if (score <= alpha && !(node_flags[p + 1] & IN_CHECK) && !child_threat) {
    *reduced_accepted = true;
  } else if (!search_aborted) {
    last_to_square = static_cast<uint8_t>(m.to);
    score = child(n.opp, n.child_probe_mark, static_cast<int16_t>(-beta), static_cast<int16_t>(-alpha));
    m.score = score;
    probe_ply[n.side] = n.probe_ply_entry;
  }
  return score;
}

// The node's per-ply state set up, and whatever settles it before its
// moves: a repetition or the fifty-move rule, the ply limit, a mate
// shorter than alpha's being impossible, the endgame tables after a
// capture. True, with *result, when the node is settled.
bool settled_on_entry(uint8_t side, int16_t alpha, int16_t beta, int16_t* result) {
  const int p = ply;
  if (repetitions_in_game(1) > 0 || fifty_moves_passed()) {
    *result = draw_score(side, contempt);
    return true;
  }
  // The list starts empty, so that a null-move child never writes below
  // this node's slice.
  node_flags[p] = 0;
  ext_count[p] = 0;
  horizon[p] = horizon[p - 1];
  check_count[p] = check_count[p - 2];
  material_diff[p] = static_cast<int16_t>(material[side] - material[side ^ 1]);
  list_start[p + 1] = list_start[p];
  if (p >= seldepth) {
    if (p == MAX_PLY) {
      *result = beta;
      return true;
    }
    seldepth = static_cast<uint8_t>(p);
  }
  // No mate can be shorter than the one alpha holds.
  if (alpha + p > mate_at_ply(2)) {
    *result = material_diff[p];
    return true;
  }
  // A capture that leaves few enough men: the tables know the exact result.
  return capture_marker[p - 1] != 0 && tables_cover() && table_score(side, p, result);
}

// The transposition table's entry for the node: a cutoff (true, *result),
// or its move for the ordering and its mate threat noted (which ends a
// reduced probe at a defender node).
bool table_ends_node(uint8_t side, uint8_t probe_mark, int16_t alpha, int16_t beta, bool* threat_from_table,
                     int16_t* threat_state, int16_t* result) {
  const TtEntry* entry = tt_probe_slot(side);
  if (entry == nullptr) return false;
  const int p = ply;
  if (entry->flags & MATE_THREAT) {
    node_flags[p] |= MATE_THREAT;
    *threat_from_table = true;
    if (probe_mark == REDUCED_PROBE && is_even(p)) {
      *result = alpha;
      return true;
    }
    *threat_state = THREAT_SEEN;
  }
  const int16_t score = tt_score_from_slot(*entry);
  if (tt_usable_main(*entry) && tt_bound_cuts(*entry, score, alpha, beta)) {
    tt_hits++;
    *result = score;
    return true;
  }
  hash_move = entry->move;
  return false;
}

}  // namespace

bool poll_and_stop() {
  if (nodes > next_poll_nodes) {
    // A helper reads no input: it looks at its own stop flag instead, at
    // every node but the one in 2^32 where its count wraps to 0.
    if (helper_thread) return helper_poll();
    search_poll(POLL_INPUT);
    if (solver_working() && pause_for_solver()) return true;
  } else if (helper_thread) {
    // The stop request and the clock are the main thread's.
    return search_aborted != 0;
  }
  if (iteration_depth <= 4) return false;
  if (stop_requested) {
    search_aborted = 1;
    stop_requested = 0;
    return true;
  }
  if (elapsed >= time_allotted && clock_active && !pondering) {
    search_aborted = 1;
    return true;
  }
  return false;
}

int16_t search(uint8_t side, uint8_t probe_mark, int16_t alpha, int16_t beta) {
  const uint8_t opp = side ^ 1;
  const int p = ply;
  const uint8_t child_probe_mark = static_cast<uint8_t>(probe_mark + 1);

  // What this node puts back after each move.
  const uint8_t probe_ply_entry = probe_ply[side];
  const uint8_t last_to_entry = last_to_square;
  null_ply[p] = null_ply[p - 2];

  // Polling; stop and clock act only from iteration 5 on.
  if (poll_and_stop()) return 0;

  if (int16_t settled; settled_on_entry(side, alpha, beta, &settled)) return settled;

  // Check extension; evasions are scored with the hash move left by the
  // node searched before.
  int16_t threat_state = THREAT_OPEN;
  const bool in_check = square_attacked(piece_list[side][0], opp) != 0;
  if (in_check) {
    node_flags[p] |= IN_CHECK;
    if (probe_mark == REDUCED_PROBE) return alpha;
    check_count[p]++;
    horizon[p]++;
    threat_state = THREAT_NONE;
    ext_count[p] = 1;
    generate_evasions(side);
    if (list_start[p + 1] == list_start[p]) return mated_at_ply(p);
  }

  // The defender's plies are limited by the mate depth.
  if (is_even(p) && p > 2 * search_matt_in) return 0;

  // Beyond the horizon.
  hash_move = 0;
  if (p > horizon[p]) return quiesce(side, alpha, beta, probe_mark == REDUCED_PROBE ? QS_FROM_PROBE : 0);

  // Table probe.
  bool threat_from_table = false;
  if (int16_t cut; table_ends_node(side, probe_mark, alpha, beta, &threat_from_table, &threat_state, &cut)) return cut;

  // Null move at defender nodes.
  Node node{side, opp, p, probe_mark, child_probe_mark, probe_ply_entry, last_to_entry, 0, 0};
  if (!in_check && !threat_from_table && null_move_allowed(node)) {
    int16_t result;
    if (null_move_ends_node(node, alpha, beta, &threat_state, &result)) return result;
  }

  // Moves.
  if (!in_check) {
    generate_moves(side);
    if (list_start[p + 1] == list_start[p]) return draw_score(side, contempt);
  }

  const int first = node.first = list_start[p];
  const int last = node.last = list_start[p + 1] - 1;
  const int16_t alpha_entry = alpha;
  int16_t best = -SCORE_INF;
  int best_index = first;
  bool reduced_accepted = false;

  for (int i = first; i <= last; i++) {
    // Make the best remaining move; an illegal one is marked and skipped.
    pick_best_move(i, last);
    Move& m = move_stack[i];
    const bool legal = make_if_legal(side, m);
    nodes++;
    if (!legal) {
      m.score = -SCORE_INF;
      continue;
    }

    // Full window for the hash move, in check, and inside an opponent's
    // probe; a reduced null-window probe otherwise.
    capture_marker[p] = capture_mark(m);
    const bool full_window = (i == first && m.score > 3500) || in_check ||
                             (probe_ply[side] != 0 && probe_ply[opp] < probe_ply[side]);
    int16_t score = search_made_move(node, m, full_window, alpha, beta, &reduced_accepted);

    unmake_move(side, m);
    if (search_aborted) return 0;

    if (!threat_extension(node, m, &threat_state, alpha, beta, &score) && !search_aborted)
      only_move_extension(node, i, m, alpha, beta, &score);
    if (search_aborted) return 0;

    // Best move so far; the cutoff.
    if (score > best) {
      if (score > alpha) {
        if (score >= beta) {
          update_move_tables(side, m, score);
          tt_store(side, score, TT_FROM_SEARCH, m.from, m.to, TT_LOWER, m.flags);
          return score;
        }
        alpha = score;
      }
      best = score;
      best_index = i;
    }
  }

  // No legal move: stalemate. A node that never raised alpha stores nothing.
  if (best == -SCORE_INF) return draw_score(side, contempt);
  if (alpha == alpha_entry) return best;

  const Move& best_move = move_stack[best_index];
  update_move_tables(side, best_move, best);
  tt_store(side, best, TT_FROM_SEARCH, best_move.from, best_move.to, reduced_accepted ? TT_LOWER : TT_EXACT,
           best_move.flags);
  return best;
}
