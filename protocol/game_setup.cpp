// New game, recomputation of the derived position state, and taking back
// the ponder move.
#include "protocol/game_setup.h"

#include <cassert>
#include <cstring>

#include "board.h"
#include "board/bitboards.h"
#include "board/make_move.h"
#include "board/position_check.h"
#include "search/tt.h"
#include "search_control.h"
#include "search_state.h"
#include "settings.h"

void new_game() {
  ep_square = 0;
  quit_requested = 0;
  pondering = 0;
  nodes = 0;
  iteration_depth = 0;
  game_index = 0;
  irreversible_index = 0;
  castled[WHITE] = castled[BLACK] = 0;
  side_to_move = WHITE;

  if (chess_knowledge == 0) {
    const int16_t plain[PIECE_CODES] = {0, 100, 330, 330, 490, 1000, 0};
    std::memcpy(piece_value, plain, sizeof(piece_value));
  } else {
    const int16_t tuned[PIECE_CODES] = {0, value_pawn, value_knight, value_bishop, value_rook, value_queen, 0};
    std::memcpy(piece_value, tuned, sizeof(piece_value));
  }
  const int16_t ordering[PIECE_CODES] = {0, value_pawn, value_knight, value_knight, value_rook, value_queen, 0};
  std::memcpy(order_value, ordering, sizeof(order_value));

  if (depth_limit == 0) depth_limit = 98;
  std::memset(move_stack, 0, sizeof(move_stack));
  tt_reset_ages();
  std::memset(moved_count, 0, sizeof(moved_count));
  std::memcpy(board, initial_board.data(), sizeof(board));
  std::memcpy(color, initial_color.data(), sizeof(color));
  rebuild_position();
  assert(position_consistent());
  elapsed = 0;
}

void rebuild_position() {
  for (int c = WHITE; c <= BLACK; c++) {
    material[c] = piece_material[c] = 0;
    piece_top[c] = pawn_count[c] = 0;
  }
  hash_key = hash_lock = pawn_key = 0;
  std::memset(pawn_attacks, 0, sizeof(pawn_attacks));
  std::memset(men_bits, 0, sizeof(men_bits));
  occupied_bits = 0;

  for (int s = 0; s < SQUARE_COUNT; s++) {
    const int c = color[s];
    if (c == NEUTRAL) continue;
    const int t = board[s];
    material[c] = static_cast<int16_t>(material[c] + piece_value[t]);
    men_bits[c][t] |= square_bit(s);
    occupied_bits |= square_bit(s);
    if (t == PAWN) {
      pawn_key ^= hash_codes[c][t][s][1];
      list_index[s] = ++pawn_count[c];
      pawn_list[c][pawn_count[c]] = static_cast<int8_t>(s);
      pawn_attacks[c][pawn_attack_9[c][s]]++;
      pawn_attacks[c][pawn_attack_7[c][s]]++;
    } else {
      piece_material[c] = static_cast<int16_t>(piece_material[c] + piece_value[t]);
      list_index[s] = t == KING ? 0 : ++piece_top[c];
      piece_list[c][list_index[s]] = static_cast<int8_t>(s);
    }
    hash_key ^= hash_codes[c][t][s][0];
    hash_lock ^= hash_codes[c][t][s][1];
  }
}

void take_back_ponder_move() {
  // An unplayable ponder move left nothing to take back.
  if (game_index > 0) {
    const GameRecord& record = game_record[game_index];
    const Move move{static_cast<int8_t>(key_from(record.move_key)), static_cast<int8_t>(key_to(record.move_key)), 0,
                    record.flags};
    assert(color[move.to] != NEUTRAL);
    unmake_move(color[move.to], move);
  }
  iteration_depth = 0;
  side_to_move ^= 1;
}
