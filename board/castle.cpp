// Testing, playing and taking back castling.
#include "board/make_move.h"

#include "board.h"
#include "board/attacks.h"
#include "board/bitboards.h"

int16_t castle_move(uint8_t side, int king_from, int king_to, int mode) {
  const bool short_side = king_to > king_from;
  int rook_from = short_side ? king_from + 3 : king_from - 4;
  int rook_to = short_side ? king_to - 1 : king_to + 1;

  if (mode == CASTLE_TEST) {
    // The home-square test comes first: it keeps every other index on the board.
    if (king_from != king_home[side]) return 0;
    if (board[king_from] != KING || board[rook_from] != ROOK) return 0;
    if (color[king_from] != side || color[rook_from] != side) return 0;
    if (moved_count[king_from] != 0 || moved_count[rook_from] != 0) return 0;
    if (color[king_to] != NEUTRAL || color[rook_to] != NEUTRAL || color[king_to - 1] != NEUTRAL) return 0;
    const uint8_t xside = side ^ 1;
    if (square_attacked(king_from, xside) || square_attacked(king_to, xside) || square_attacked(rook_to, xside))
      return 0;
    return 1;
  }

  if (mode == CASTLE_PLAY) {
    moved_count[king_from]++;
    moved_count[rook_from]++;
    castled[side] = 1;
  } else {
    moved_count[king_from]--;
    moved_count[rook_from]--;
    castled[side] = 0;
    int swap = king_from;
    king_from = king_to;
    king_to = swap;
    swap = rook_from;
    rook_from = rook_to;
    rook_to = swap;
  }

  const int8_t rook_index = list_index[rook_from];
  board[king_to] = KING;
  color[king_to] = side;
  board[rook_to] = ROOK;
  color[rook_to] = side;
  list_index[king_to] = 0;
  list_index[rook_to] = rook_index;
  board[king_from] = board[rook_from] = NO_PIECE;
  color[king_from] = color[rook_from] = NEUTRAL;
  piece_list[side][0] = static_cast<int8_t>(king_to);
  piece_list[side][rook_index] = static_cast<int8_t>(rook_to);
  const uint64_t king_squares = square_bit(king_from) | square_bit(king_to);
  const uint64_t rook_squares = square_bit(rook_from) | square_bit(rook_to);
  men_bits[side][KING] ^= king_squares;
  men_bits[side][ROOK] ^= rook_squares;
  occupied_bits ^= king_squares | rook_squares;

  // Taking back leaves the keys to unmake_move, which copies them back.
  if (mode == CASTLE_PLAY) {
    const auto& king = hash_codes[side][KING];
    const auto& rook = hash_codes[side][ROOK];
    hash_key ^= king[king_from][0] ^ king[king_to][0] ^ rook[rook_from][0] ^ rook[rook_to][0];
    hash_lock ^= king[king_from][1] ^ king[king_to][1] ^ rook[rook_from][1] ^ rook[rook_to][1];
  }
  return 1;
}
