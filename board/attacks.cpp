// The attack test: ray walks over the precomputed tables.
#include "board/attacks.h"

namespace {

// Walks the slider chains of `type` from `square`; the first man met on each
// ray ends that ray.
inline bool slider_hit(int type, int square, uint8_t by_side, int piece) {
  const uint8_t* next = next_square[type][square];
  const uint8_t* skip = next_direction[type][square];
  int u = next[square];
  while (u != square) {
    if (color[u] == NEUTRAL) {
      u = next[u];
    } else {
      if (color[u] == by_side && (board[u] == QUEEN || board[u] == piece)) return true;
      u = skip[u];
    }
  }
  return false;
}

}  // namespace

int16_t square_attacked(int square, uint8_t by_side) {
  if (slider_hit(BISHOP, square, by_side, BISHOP)) return 1;
  if (slider_hit(ROOK, square, by_side, ROOK)) return 1;

  const uint8_t* leap = next_direction[KNIGHT][square];
  for (int u = leap[square]; u != square; u = leap[u])
    if (board[u] == KNIGHT && color[u] == by_side) return 1;

  if (pawn_attacks[by_side][square] != 0) return 1;
  return distance[piece_list[by_side][0]][square] == 1 ? 1 : 0;
}
