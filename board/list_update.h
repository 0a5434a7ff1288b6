// Keeping a piece or pawn list in step with the board, inline for make and
// unmake.
#pragma once

#include <cassert>
#include <cstdint>

#include "board.h"

// Removal closes the gap, so that generation order stays the list order.
// The later entries move down one place from the top, each carried in a
// register: written as a plain copy, compilers turn the few moves into a
// call to memmove.
inline void list_remove(int8_t* list, int8_t& top, int square) {
  const int last = top, gap = list_index[square];
  int8_t carried = list[last];
  for (int i = last - 1; i >= gap; i--) {
    const int8_t here = list[i];
    list[i] = carried;
    list_index[carried] = static_cast<int8_t>(i);
    carried = here;
  }
  top = static_cast<int8_t>(last - 1);
}

inline void list_append(int8_t* list, int8_t& top, int square) {
  const int8_t index = static_cast<int8_t>(top + 1);
  assert(index < SQUARE_COUNT);
  top = index;
  list_index[square] = index;
  list[index] = static_cast<int8_t>(square);
}

// The entry of `square` to the end, the later ones down one place: what
// removing and appending it again does, in one pass from the top.
inline void list_rotate_to_end(int8_t* list, int top, int square) {
  const int gap = list_index[square];
  int8_t carried = static_cast<int8_t>(square);
  for (int i = top; i >= gap; i--) {
    const int8_t here = list[i];
    list[i] = carried;
    list_index[carried] = static_cast<int8_t>(i);
    carried = here;
  }
}

enum : int { LIST_REMOVE = 1, LIST_APPEND = 2 };
// LIST_REMOVE takes the man on `square` out of its side's list (closing the
// gap); LIST_APPEND puts `square` at the end.
inline void piece_list_update(uint8_t side, int square, int mode) {
  if (mode == LIST_REMOVE)
    list_remove(piece_list[side], piece_top[side], square);
  else
    list_append(piece_list[side], piece_top[side], square);
}
inline void pawn_list_update(uint8_t side, int square, int mode) {
  if (mode == LIST_REMOVE)
    list_remove(pawn_list[side], pawn_count[side], square);
  else
    list_append(pawn_list[side], pawn_count[side], square);
}
