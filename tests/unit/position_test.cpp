// The position command: start position, FEN set-up, move lists, NewPonder,
// and malformed FEN text.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "board.h"
#include "board/position_check.h"
#include "protocol/command_loop.h"
#include "protocol/game_setup.h"
#include "protocol/position_command.h"
#include "search_state.h"
#include "settings.h"

namespace {

constexpr int sq(const char* name) { return make_square(name[0] - 'a', name[1] - '1'); }

bool is_start_board() { return std::memcmp(board, initial_board.data(), sizeof(board)) == 0; }

class PositionCommand : public testing::Test {
 protected:
  void SetUp() override { ensure_engine_ready(); }
  void TearDown() override { new_ponder = pondering = 0; }
};

TEST_F(PositionCommand, SetsBoardSideEnPassantCastlingAndMoves) {
  const struct { const char* line; int played; uint8_t side; int8_t ep; int16_t games; const char* fresh_corners; } cases[] = {
      {"position startpos", 0, WHITE, 0, 0, "a1h1a8h8"},
      {"position startpos moves e2e4 e7e5", 1, WHITE, 44, 2, "a1h1a8h8"},
      // The list stops at a move that is not legal; the turn stays with its side.
      {"position startpos moves e2e4 e7e6 e4e6 d7d5", 0, WHITE, -1, 2, "a1h1a8h8"},
      {"position startpos moves d2d4 xxxx e2e4 xxxx", 0, BLACK, 19, 1, "a1h1a8h8"},
      {"position fen 4k3/8/8/8/8/8/4r3/4K3 w - - 0 1 moves xxxx", 0, WHITE, -1, 0, ""},
      // Upper-case promotion letters read as lower case.
      {"position fen 4k3/2P5/8/8/8/8/8/4K3 w - - 0 1 moves c7c8Q", 1, BLACK, -1, 1, ""},
      {"position fen 8/8/8/8/8/8/8/K6k w - - 0 1 moves a1b2", 1, BLACK, -1, 1, ""},
      {"position fen rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b Kq e3 0 1", 0, BLACK, 20, 0, "h1a8"},
      {"position fen rnbqkbnrpppppppp8888PPPPPPPPRNBQKBNR w KQkq - 0 1", 0, WHITE, -1, 0, "a1h1a8h8"},
      {"position fen 4k3/8/8/8/8/8/8/4K3 w - - moves Kd1", 1, BLACK, -1, 1, ""},  // four fields, then moves
      {"position fen 4k3/8/8/4P3/8/8/8/4K3 w - d6 0 1", 0, WHITE, -1, 0, ""},    // no pawn passed d6
  };
  for (const auto& c : cases) {
    EXPECT_EQ(handle_position(c.line), c.played) << c.line;
    EXPECT_EQ(side_to_move, c.side) << c.line;
    EXPECT_EQ(ep_square, c.ep) << c.line;
    EXPECT_EQ(game_index, c.games) << c.line;
    for (const char* corner : {"a1", "h1", "a8", "h8"})
      EXPECT_EQ(moved_count[sq(corner)] == 0, std::strstr(c.fresh_corners, corner) != nullptr) << c.line << corner;
    EXPECT_EQ(position_inconsistency(), nullptr) << c.line;
  }
  handle_position("position fen rnbqkbnrpppppppp8888PPPPPPPPRNBQKBNR w KQkq - 0 1");
  EXPECT_TRUE(is_start_board());
}

TEST_F(PositionCommand, NewPonderTakesTheLastMoveBackForGoPonder) {
  new_ponder = 1;
  handle_position("position startpos moves e2e4 e7e5");
  EXPECT_STREQ(ponder_move_text, "e7e5");
  EXPECT_EQ(new_ponder, 2);
  read_go_limits("go ponder");
  EXPECT_EQ(side_to_move, BLACK);
  EXPECT_EQ(game_index, 1);
  EXPECT_EQ(board[sq("e7")], PAWN);
  EXPECT_EQ(position_inconsistency(), nullptr);
  // A ponder move that was never played leaves nothing to take back.
  handle_position("position startpos moves e2e5");
  take_back_ponder_move();
  EXPECT_EQ(game_index, 0);
  EXPECT_TRUE(is_start_board());
}

TEST_F(PositionCommand, MalformedFenTextLeavesAPlayablePosition) {
  const std::string field(99, '/');
  const std::string overlong = "position fen 4k3/8/8/8/8/8/8/4K3" + field + " " + field + " " + field + " w - - 0";
  const struct { std::string line; bool refused; const char* white_king; const char* black_king; } cases[] = {
      {"position fen k8/8/8/8/8/8/8/K7 w - - 0 1", false, "a1", "a8"},  // rank overruns square 63
      {"position fen 4k4/8/8/8/8/8/8/4K3 w - - 0 1", false, "e1", "e8"},
      {"position fen 4k903/8/8/8/8/890/8/4K3 w - - 0 1", false, "e1", "e8"},
      {"position fen 4k3/8/8/8/8/8/8/4K3 w Kq", false, "e1", "e8"},  // text ends in the castling field
      {"position fen 4k3/8/8/8/8/8/8/4K3 w - e", false, "e1", "e8"},
      {"position fen rnbqkbnr/pppp", true, "e1", "e8"},
      {"position", true, "e1", "e8"},
      {overlong, true, "e1", "e8"},  // cut at 127 characters, before the side field
      {"position fen 4k3/8/8/8/8/8/8/4K3 x - - 0 1", true, "e1", "e8"},
      {"position fen 8/8/8/8/8/8/8/8 w - - 0 1", true, "e1", "e8"},
      {"position fen 4k3/8/8/8/8/8/8/4K2K w - - 0 1", true, "e1", "e8"},
      {"position fen 4k3/8/8/8/8/8/8/4R1K1 w - - 0 1", true, "e1", "e8"},  // black king en prise
      // Pawns on the first or last rank.
      {"position fen k6p/6K1/8/8/8/8/8/8 b - - 0 1", true, "e1", "e8"},
      {"position fen k6p/8/5K2/8/8/8/8/1Q6 w - - 0 1", true, "e1", "e8"},
      {"position fen k6P/8/8/8/8/8/8/K7 w - - 0 1", true, "e1", "e8"},
      {"position fen k7/8/8/8/8/8/8/K2p4 b - - 0 1", true, "e1", "e8"},
      {"position fen k7/8/8/8/8/8/8/K2P4 w - - 0 1 moves a1b1", true, "e1", "e8"},
  };
  for (const auto& c : cases) {
    handle_position(c.line.c_str());
    EXPECT_LT(std::strlen(setboard_text), static_cast<std::size_t>(SETBOARD_TEXT_SIZE)) << c.line;
    EXPECT_EQ(position_inconsistency(), nullptr) << c.line;
    EXPECT_EQ(is_start_board(), c.refused) << c.line;
    EXPECT_EQ(piece_list[WHITE][0], sq(c.white_king)) << c.line;
    EXPECT_EQ(piece_list[BLACK][0], sq(c.black_king)) << c.line;
  }
}

}  // namespace
