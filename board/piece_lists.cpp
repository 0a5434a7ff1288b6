// Keeping the piece and pawn lists in step with the board.
#include "board/list_update.h"
#include "board/make_move.h"

void piece_list_update(uint8_t side, int square, int mode) {
  if (mode == LIST_REMOVE)
    remove_piece(side, square);
  else
    append_piece(side, square);
}

void pawn_list_update(uint8_t side, int square, int mode) {
  if (mode == LIST_REMOVE)
    remove_pawn(side, square);
  else
    append_pawn(side, square);
}

void list_move_to_end(uint8_t side, int square) {
  if (board[square] == PAWN) {
    remove_pawn(side, square);
    append_pawn(side, square);
  } else {
    remove_piece(side, square);
    append_piece(side, square);
  }
}

void leave_trial_traces(uint8_t side, int from, int to, uint32_t flags) {
  last_to_square = static_cast<uint8_t>(to);
  const uint8_t xside = side ^ 1;
  if (flags & QUIET) return;
  if (flags & CAPTURE) {
    list_move_to_end(xside, to);
  } else if (flags & EN_PASSANT) {
    list_move_to_end(xside, en_passant_victim(to));
  } else if ((flags & PROMOTE) && !(flags & CASTLE)) {
    if (color[to] != NEUTRAL) list_move_to_end(xside, to);
    list_move_to_end(side, from);
  }
}
