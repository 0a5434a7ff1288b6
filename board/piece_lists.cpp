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
