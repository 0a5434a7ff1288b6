// What taking a man and putting it back, or trying a move, leaves in the lists.
#include "board/list_update.h"
#include "board/make_move.h"

void list_move_to_end(uint8_t side, int square) {
  if (board[square] == PAWN)
    list_rotate_to_end(pawn_list[side], pawn_count[side], square);
  else
    list_rotate_to_end(piece_list[side], piece_top[side], square);
}

// The list part of leave_trial_traces, for moves that capture or promote.
void leave_list_traces(uint8_t side, int from, int to, uint32_t flags) {
  const uint8_t xside = side ^ 1;
  if (flags & CAPTURE) {
    list_move_to_end(xside, to);
  } else if (flags & EN_PASSANT) {
    list_move_to_end(xside, en_passant_victim(to));
  } else if ((flags & PROMOTE) && !(flags & CASTLE)) {
    if (color[to] != NEUTRAL) list_move_to_end(xside, to);
    list_move_to_end(side, from);
  }
}
