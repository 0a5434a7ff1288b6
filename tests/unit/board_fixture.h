// Shared set-up for tests that play on the global position.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "board.h"
#include "protocol/command_loop.h"
#include "protocol/game_setup.h"
#include "search/ordering.h"
#include "search_state.h"
#include "tools/perft_count.h"

class BoardTest : public testing::Test {
 protected:
  void SetUp() override {
    ensure_engine_ready();
    reset_history();
    for (int p = 0; p < PLY_SLOTS; p++) killer1[p] = killer2[p] = mate_killer[p] = 0;
    hash_move = 0;
    new_game();
    ply = 1;
    list_start[1] = 0;
    last_to_square = 255;
  }

 public:
  // Sets up a FEN (board, side, castling, en passant) and fails the test if refused.
  static void set_fen(const char* fen) {
    char text[256];
    std::snprintf(text, sizeof(text), "setboard %s", fen);
    new_game();
    ASSERT_EQ(setup_fen(text), 1) << fen;
    ply = 1;
    list_start[1] = 0;
    last_to_square = 255;
  }

  static constexpr int sq(const char* name) { return make_square(name[0] - 'a', name[1] - '1'); }

  static std::string text_of(const Move& move) {
    char text[6];
    coordinate_text(move, text);
    return text;
  }

  // The moves of the current ply's slice.
  static std::vector<Move> generated() {
    return std::vector<Move>(move_stack + list_start[ply], move_stack + list_start[ply + 1]);
  }

  // Move texts joined by blanks, in list order or sorted.
  static std::string texts(const std::vector<Move>& moves) {
    std::string out;
    for (const Move& m : moves) {
      char text[6];
      coordinate_text(m, text);
      if (!out.empty()) out += ' ';
      out += text;
    }
    return out;
  }
  static std::string sorted_texts(std::vector<Move> moves) {
    auto order = [](const Move& m) { return m.from << 9 | m.to << 3 | static_cast<int>(m.flags & PROMO_MASK); };
    std::sort(moves.begin(), moves.end(), [&](const Move& a, const Move& b) { return order(a) < order(b); });
    return texts(moves);
  }

  // The generated move with this text; fails the test when absent.
  static Move find_move(const char* text) {
    for (const Move& m : generated())
      if (text_of(m) == text) return m;
    ADD_FAILURE() << "no move " << text;
    return Move{};
  }

  // Generates for `side` and plays the move with this text.
  static Move play(uint8_t side, const char* text) {
    generate_moves(side);
    const Move move = find_move(text);
    make_move(side, move);
    return move;
  }
};
