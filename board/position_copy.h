// The position with everything derived from it, copied whole: a search
// thread starts from the main thread's position this way.
#pragma once

#include <cstdint>

#include "board.h"

struct PositionCopy {
  uint8_t board[SQUARE_COUNT], color[SQUARE_COUNT];
  int8_t piece_list[2][SQUARE_COUNT], piece_top[2];
  int8_t pawn_list[2][SQUARE_COUNT], pawn_count[2];
  int8_t list_index[SQUARE_COUNT];
  int8_t ep_square;
  uint16_t moved_count[SQUARE_COUNT];
  int16_t castled[2], material[2], piece_material[2];
  int8_t pawn_attacks[2][SQUARE_COUNT + 1];
  uint64_t men_bits[2][PIECE_CODES], occupied_bits;
  uint32_t hash_key, hash_lock, pawn_key;
  uint8_t last_to_square;
  GameRecord game_record[GAME_RECORD_SIZE];
  int16_t game_index, irreversible_index;
};

// The calling thread's position into *out, and back.
void copy_position(PositionCopy* out);
void set_position(const PositionCopy& in);
