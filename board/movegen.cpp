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
  score_and_append(s, m, to, flags, victim);
}

// One walk for both generators: the ray order here is the list order.
template <bool LEGAL>
inline void man_moves(MoveScorer& s, int sq) {
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

template <bool LEGAL>
inline void en_passant_moves(MoveScorer& s) {
  if (ep_square <= 0) return;
  const int to = ep_square;
  // A stale square must not let a side take its own pawn (or an empty one):
  // unmaking would give the pawn back to the other side.
  const int victim = en_passant_victim(to);
  if (color[victim] != (s.side ^ 1) || board[victim] != PAWN) return;
  for (int from : {static_cast<int>(ep_capturer_1[to]), static_cast<int>(ep_capturer_2[to])})
    if (color[from] == s.side && board[from] == PAWN) add<LEGAL>(s, moving_man(s, from), to, EN_PASSANT, NO_PIECE);
}

// The pieces from the last list index down (so the king comes last), then
// the pawns likewise.
template <bool LEGAL>
inline void all_men_moves(MoveScorer& s) {
  const uint8_t side = s.side;
  for (int i = piece_top[side]; i >= 0; i--) man_moves<LEGAL>(s, piece_list[side][i]);
  for (int i = pawn_count[side]; i >= 1; i--) man_moves<LEGAL>(s, pawn_list[side][i]);
}

inline MoveScorer open_slice(uint8_t side) {
  assert(ply >= 0 && ply < PLY_SLOTS);
  list_start[ply + 1] = list_start[ply];
  return move_scorer(side ^ 1);
}

}  // namespace

void generate_piece_moves(int square, uint8_t side, uint8_t) {
  MoveScorer s = move_scorer(side ^ 1);
  man_moves<false>(s, square);
  close_list(s);
}

void generate_legal_piece_moves(int square, uint8_t side, uint8_t) {
  MoveScorer s = move_scorer(side ^ 1);
  man_moves<true>(s, square);
  close_list(s);
}

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
  for (int k = list_start[ply]; k < list_start[ply + 1]; k++) {
    const Move m = move_stack[k];
    if (move_key(m.from, m.to) != key || static_cast<uint16_t>(m.flags) != flags) continue;
    if (!checked) {
      make_move(side, m);
      const bool exposed = in_check(side);
      unmake_move(side, m);
      if (exposed) return false;
    }
    *found = m;
    return true;
  }
  return false;
}
