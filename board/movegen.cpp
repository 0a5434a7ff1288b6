// Move generation over the ray tables into the current ply's slice.
#include "board/movegen.h"

#include <cassert>

#include "board.h"
#include "board/attacks.h"
#include "board/make_move.h"
#include "search/ordering.h"
#include "search_state.h"

namespace {

// Adds the move only if it does not leave the mover's king attacked. The
// test counts as a node and leaves behind what playing and taking back the
// move would: the destination as the last square moved to, and a captured
// man at the end of its list (move order and scores depend on both).
inline void add_if_legal(int from, int to, uint32_t flags, uint8_t xside) {
  nodes++;
  last_to_square = static_cast<uint8_t>(to);
  if (flags & CAPTURE) list_move_to_end(xside, to);
  if (flags & EN_PASSANT) list_move_to_end(xside, en_passant_victim(to));
  if (!exposes_king(from, to, flags, color[from])) score_move(from, to, flags, xside);
}

inline void add_pseudo_legal(int from, int to, uint32_t flags, uint8_t xside) { score_move(from, to, flags, xside); }

// One walk for both generators: the ray order here is the list order.
template <void (*add)(int, int, uint32_t, uint8_t)>
inline void man_moves(int sq, uint8_t side, uint8_t xside) {
  if (board[sq] == PAWN) {
    const int type = move_type[side][PAWN];
    const uint8_t* forward = next_square[type][sq];
    const uint8_t* captures = next_direction[type][sq];
    int u = forward[sq];
    if (color[u] == NEUTRAL) {
      add(sq, u, QUIET, xside);
      u = forward[u];
      if (color[u] == NEUTRAL) add(sq, u, QUIET, xside);
    }
    u = captures[sq];
    if (color[u] == xside) add(sq, u, CAPTURE, xside);
    u = captures[u];
    if (color[u] == xside) add(sq, u, CAPTURE, xside);
    return;
  }
  const int type = board[sq];
  const uint8_t* next = next_square[type][sq];
  const uint8_t* skip = next_direction[type][sq];
  int u = next[sq];
  while (u != sq) {
    if (color[u] == NEUTRAL) {
      add(sq, u, QUIET, xside);
      u = next[u];
    } else {
      if (color[u] == xside) add(sq, u, CAPTURE, xside);
      u = skip[u];
    }
  }
}

template <void (*add)(int, int, uint32_t, uint8_t)>
inline void en_passant_moves(uint8_t side, uint8_t xside) {
  if (ep_square <= 0) return;
  const int f1 = ep_capturer_1[ep_square], f2 = ep_capturer_2[ep_square];
  if (color[f1] == side && board[f1] == PAWN) add(f1, ep_square, EN_PASSANT, xside);
  if (color[f2] == side && board[f2] == PAWN) add(f2, ep_square, EN_PASSANT, xside);
}

inline void open_slice() {
  assert(ply >= 0 && ply < PLY_SLOTS);
  list_start[ply + 1] = list_start[ply];
}

}  // namespace

void generate_piece_moves(int square, uint8_t side, uint8_t xside) {
  man_moves<add_pseudo_legal>(square, side, xside);
}

void generate_legal_piece_moves(int square, uint8_t side, uint8_t xside) {
  man_moves<add_if_legal>(square, side, xside);
}

void generate_moves(uint8_t side) {
  const uint8_t xside = side ^ 1;
  open_slice();
  // Last list index first, so the king comes last among the pieces.
  for (int i = piece_top[side]; i >= 0; i--) generate_piece_moves(piece_list[side][i], side, xside);
  for (int i = pawn_count[side]; i >= 1; i--) generate_piece_moves(pawn_list[side][i], side, xside);
  if (castled[side] == 0) {
    const int king = piece_list[side][0];
    if (castle_move(side, king, king + 2, CASTLE_TEST)) score_move(king, king + 2, CASTLE, xside);
    if (castle_move(side, king, king - 2, CASTLE_TEST)) score_move(king, king - 2, CASTLE, xside);
  }
  en_passant_moves<add_pseudo_legal>(side, xside);
}

void generate_evasions(uint8_t side) {
  const uint8_t xside = side ^ 1;
  open_slice();
  for (int i = piece_top[side]; i >= 0; i--) generate_legal_piece_moves(piece_list[side][i], side, xside);
  for (int i = pawn_count[side]; i >= 1; i--) generate_legal_piece_moves(pawn_list[side][i], side, xside);
  en_passant_moves<add_if_legal>(side, xside);
}
