// Move generation into the current ply's slice of the move stack.
#pragma once

#include <cstdint>

#include "board.h"
#include "types.h"

// All pseudo-legal moves of `side`, castling and en passant included.
void generate_moves(uint8_t side);
// All legal moves of `side` except castling (used in check).
void generate_evasions(uint8_t side);
// The moves `side` has to consider: the legal evasions when in check (and
// then true is returned), else every pseudo-legal move.
bool generate_replies(uint8_t side);
// The legal move of `side` with this key and these flags (low 16 bits), as
// generated; false when there is none. Generates into the current ply's slice.
bool find_legal_move(uint8_t side, uint16_t key, uint16_t flags, Move* found);

// The index of the first move in move_stack[start, end) with this key; `end`
// when there is none. A key does not name a promotion's piece, so up to four
// moves share one.
inline int find_key(int start, int end, uint16_t key) {
  while (start < end && move_key(move_stack[start].from, move_stack[start].to) != key) start++;
  return start;
}

// The index of the first move in move_stack[start, end) with this key and,
// for a promotion, this piece (`flags` as a move carries them); `end` when
// there is none.
inline int find_move(int start, int end, uint16_t key, uint32_t flags) {
  constexpr uint32_t promotion = PROMOTE | PROMO_MASK;
  for (start = find_key(start, end, key); start < end; start = find_key(start + 1, end, key))
    if ((move_stack[start].flags & promotion) == (flags & promotion)) break;
  return start;
}

// The pawns of `side` that may take en passant, at most two, into `from`;
// returns how many. A stale square, with no enemy pawn to take, gives none:
// taking back such a capture would hand the pawn to the other side.
inline int en_passant_takers(uint8_t side, int from[2]) {
  if (ep_square <= 0) return 0;
  const int victim = en_passant_victim(ep_square);
  if (color[victim] != (side ^ 1) || board[victim] != PAWN) return 0;
  int count = 0;
  for (const int f : {static_cast<int>(ep_capturer_1[ep_square]), static_cast<int>(ep_capturer_2[ep_square])})
    if (color[f] == side && board[f] == PAWN) from[count++] = f;
  return count;
}
