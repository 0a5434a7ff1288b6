// Move generation over the ray tables into the current ply's slice.
#include "board/movegen.h"

#include <cassert>

#include "board.h"
#include "board/attacks.h"
#include "board/make_move.h"
#include "search/move_scorer.h"
#include "search_state.h"

namespace {

// Every generated move is scored and appended; the evasion generator first
// makes sure that it does not leave the mover's king attacked. That test
// counts as a node and leaves behind what playing and taking back the move
// would: the destination as the last square moved to, and a captured man at
// the end of its list (move order and scores depend on both).
template <bool LEGAL>
inline void add(MoveScorer& s, const MovingMan& m, int to, uint32_t flags, int victim) {
  if (LEGAL) {
    nodes++;
    leave_trial_traces(s.side, m.from, to, flags);
    s.last_to = to;
    if (exposes_king(m.from, to, flags, s.side)) return;
  }
  score_move(s, m, to, flags, victim);
}

// One walk for both generators' per-man workers: the ray order here is the
// list order.
template <bool LEGAL>
inline void walk_man(MoveScorer& s, int sq) {
  const uint8_t xside = s.side ^ 1;
  const MovingMan m = moving_man(s, sq);
  const int piece = m.piece;
  if (piece == PAWN) {
    const int type = move_type[s.side][PAWN];
    const uint8_t* forward = next_square[type][sq];
    const uint8_t* captures = next_direction[type][sq];
    int u = forward[sq];
    if (color[u] == NEUTRAL) {
      add<LEGAL>(s, m, u, QUIET, NO_PIECE);
      u = forward[u];
      if (color[u] == NEUTRAL) add<LEGAL>(s, m, u, QUIET, NO_PIECE);
    }
    u = captures[sq];
    if (color[u] == xside) add<LEGAL>(s, m, u, CAPTURE, board[u]);
    u = captures[u];
    if (color[u] == xside) add<LEGAL>(s, m, u, CAPTURE, board[u]);
    return;
  }
  const uint8_t* next = next_square[piece][sq];
  const uint8_t* skip = next_direction[piece][sq];
  int u = next[sq];
  while (u != sq) {
    if (color[u] == NEUTRAL) {
      add<LEGAL>(s, m, u, QUIET, NO_PIECE);
      u = next[u];
    } else {
      if (color[u] == xside) add<LEGAL>(s, m, u, CAPTURE, board[u]);
      u = skip[u];
    }
  }
}

inline void generate_piece_moves(MoveScorer& s, int sq) { walk_man<false>(s, sq); }
inline void generate_legal_piece_moves(MoveScorer& s, int sq) { walk_man<true>(s, sq); }

template <bool LEGAL>
inline void en_passant_moves(MoveScorer& s) {
  int from[2];
  const int count = en_passant_takers(s.side, from);
  for (int k = 0; k < count; k++) add<LEGAL>(s, moving_man(s, from[k]), ep_square, EN_PASSANT, NO_PIECE);
}

// The pieces from the last list index down (so the king comes last), then
// the pawns likewise.
template <bool LEGAL>
inline void all_men_moves(MoveScorer& s) {
  const uint8_t side = s.side;
  auto worker = LEGAL ? generate_legal_piece_moves : generate_piece_moves;
  for (int i = piece_top[side]; i >= 0; i--) worker(s, piece_list[side][i]);
  for (int i = pawn_count[side]; i >= 1; i--) worker(s, pawn_list[side][i]);
}

inline MoveScorer open_slice(uint8_t side) {
  assert(ply >= 0 && ply < PLY_SLOTS);
  list_start[ply + 1] = list_start[ply];
  return move_scorer(side ^ 1);
}

}  // namespace

void generate_moves(uint8_t side) {
  MoveScorer s = open_slice(side);
  all_men_moves<false>(s);
  if (castled[side] == 0) {
    const int king = piece_list[side][0];
    const MovingMan m = moving_man(s, king);
    for (int to : {king + 2, king - 2})
      if (castle_move(side, king, to, CASTLE_TEST)) add<false>(s, m, to, CASTLE, NO_PIECE);
  }
  en_passant_moves<false>(s);
  close_list(s);
}

void generate_evasions(uint8_t side) {
  MoveScorer s = open_slice(side);
  all_men_moves<true>(s);
  en_passant_moves<true>(s);
  close_list(s);
}

bool generate_replies(uint8_t side) {
  const bool checked = in_check(side);
  if (checked)
    generate_evasions(side);
  else
    generate_moves(side);
  return checked;
}

bool find_legal_move(uint8_t side, uint16_t key, uint16_t flags, Move* found) {
  const uint16_t saved_hash_move = hash_move;
  hash_move = 0;
  const bool checked = generate_replies(side);
  hash_move = saved_hash_move;
  const int end = list_start[ply + 1];
  for (int k = find_key(list_start[ply], end, key); k < end; k = find_key(k + 1, end, key)) {
    const Move m = move_stack[k];
    if (static_cast<uint16_t>(m.flags) != flags) continue;
    // Evasions are legal as generated; any other move is tried on the board.
    if (!checked) {
      if (!make_if_legal(side, m)) return false;
      unmake_move(side, m);
    }
    *found = m;
    return true;
  }
  return false;
}
