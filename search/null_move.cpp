// The null record: a move that changes nothing but the side to move.
#include "search/null_move.h"

#include <cassert>

#include "board.h"

void make_null_move() {
  assert(game_index + 1 < GAME_RECORD_SIZE);
  GameRecord& record = game_record[++game_index];
  record.move_key = 0;
  record.captured_piece = NO_PIECE;
  record.captured_color = NEUTRAL;
  record.flags = 0;
  record.prev_irreversible = irreversible_index;
  record.prev_hash_key = hash_key;
  record.prev_hash_lock = hash_lock;
  record.prev_pawn_key = pawn_key;
  record.prev_ep_square = ep_square;
  irreversible_index = game_index;
  ep_square = -1;
  last_to_square = 255;
}

void unmake_null_move() {
  const GameRecord& record = game_record[game_index--];
  hash_key = record.prev_hash_key;
  hash_lock = record.prev_hash_lock;
  pawn_key = record.prev_pawn_key;
  ep_square = record.prev_ep_square;
  irreversible_index = record.prev_irreversible;
}
