// Keeping the piece and pawn lists in step with the board.
#include "board/make_move.h"

#include <cassert>

#include "board.h"

namespace {

// Removal closes the gap so that generation order stays the list order.
inline void list_update(int8_t* list, int8_t& top, int square, int mode) {
  if (mode == LIST_REMOVE) {
    const int last = top;
    for (int i = list_index[square]; i < last; i++) {
      const int8_t moved = list[i + 1];
      list[i] = moved;
      list_index[moved] = static_cast<int8_t>(i);
    }
    top = static_cast<int8_t>(last - 1);
  } else {
    top = static_cast<int8_t>(top + 1);
    assert(top < SQUARE_COUNT);
    list_index[square] = top;
    list[top] = static_cast<int8_t>(square);
  }
}

}  // namespace

void piece_list_update(uint8_t side, int square, int mode) {
  list_update(piece_list[side], piece_top[side], square, mode);
}

void pawn_list_update(uint8_t side, int square, int mode) {
  list_update(pawn_list[side], pawn_count[side], square, mode);
}

void list_move_to_end(uint8_t side, int square) {
  if (board[square] == PAWN) {
    pawn_list_update(side, square, LIST_REMOVE);
    pawn_list_update(side, square, LIST_APPEND);
  } else {
    piece_list_update(side, square, LIST_REMOVE);
    piece_list_update(side, square, LIST_APPEND);
  }
}
