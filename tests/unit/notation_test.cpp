// Move text: the four written forms and the matcher that plays them.
#include <gtest/gtest.h>

#include <string>

#include "board.h"
#include "board/notation.h"
#include "board/position_check.h"
#include "protocol/command_loop.h"
#include "protocol/game_setup.h"
#include "search/tt.h"

namespace {

constexpr int sq(const char* name) { return make_square(name[0] - 'a', name[1] - '1'); }

class MoveText : public testing::Test {
 protected:
  void SetUp() override { ensure_engine_ready(); }
  static void set_up(const char* fen) {
    new_game();
    ASSERT_EQ(setup_fen((std::string("setboard ") + fen).c_str()), 1) << fen;
  }
};

const char* start = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -";
const char* corners = "r3k2r/2P5/8/3p4/4P3/8/8/R3K2R w KQkq -";
const char* promotion = "7k/4P3/8/8/8/8/8/4K3 w - -";
const char* knights = "4k3/8/8/8/8/8/3N4/4K1N1 w - -";  // d2 stands later in the list
const char* pinned = "4k3/8/8/8/1b6/8/3N4/4K1N1 w - -";

TEST_F(MoveText, FormatWritesAllFourForms) {
  const struct { const char* fen; const char* from; const char* to; uint32_t flags; const char* forms[4]; } cases[] = {
      {start, "g1", "f3", QUIET, {"g1f3", "Sf3", "S1f3", "Sgf3"}},
      {start, "e2", "e4", QUIET, {"e2e4", "e4", "e4", ""}},
      {corners, "e4", "d5", CAPTURE, {"e4d5", "ed", "ed5", ""}},
      {corners, "c7", "b8", PROMOTE | KNIGHT, {"c7b8n", "cb", "cb8", ""}},
      {corners, "e1", "g1", CASTLE, {"e1g1", "o-o", "0-0", "O-O"}},
      {corners, "e1", "c1", CASTLE, {"e1c1", "o-o-o", "0-0-0", "O-O-O"}},
      {start, "d1", "d1", QUIET, {"", "", "", ""}},
  };
  for (const auto& c : cases) {
    set_up(c.fen);
    format_move(sq(c.from), sq(c.to), c.flags);
    for (int form = 0; form < 4; form++) EXPECT_STREQ(move_text[form], c.forms[form]) << c.from << c.to;
  }
}

TEST_F(MoveText, EnterPlaysTheFirstMatchingCandidateOnly) {
  const struct { const char* fen; const char* text; int16_t played; const char* square; uint8_t piece; } cases[] = {
      {promotion, "e7e8", 0, "e8", NO_PIECE}, {promotion, "e8", 1, "e8", QUEEN},
      {promotion, "e7e8n", 1, "e8", KNIGHT},  {promotion, "e7e8r", 1, "e8", ROOK},
      {corners, "O-O", 1, "g1", KING},        {corners, "0-0", 1, "g1", KING},
      {corners, "o-o", 1, "f1", ROOK},        {corners, "e1g1", 1, "f1", ROOK},
      {corners, "O-O-O", 1, "c1", KING},      {corners, "0-0-0", 1, "d1", ROOK},
      {corners, "o-o-o", 1, "c1", KING},      {corners, "e1c1", 1, "d1", ROOK},
      {knights, "Sf3", 1, "d2", NO_PIECE},    {pinned, "Sf3", 0, "d2", KNIGHT},
      {pinned, "Sgf3", 1, "g1", NO_PIECE},    {pinned, "S1f3", 1, "g1", NO_PIECE},
      {start, "Nf3", 0, "g1", KNIGHT},        {start, "e4", 1, "e4", PAWN},
      {corners, "ed5", 1, "e4", NO_PIECE},    {start, "", 0, "e2", PAWN},
  };
  for (const auto& c : cases) {
    set_up(c.fen);
    const uint32_t key = hash_key;
    ply = 1;
    EXPECT_EQ(enter_move(c.text), c.played) << c.text;
    EXPECT_EQ(board[sq(c.square)], c.piece) << c.text;
    EXPECT_EQ(game_index, c.played) << c.text;
    EXPECT_TRUE(c.played || hash_key == key) << c.text;
    EXPECT_EQ(position_inconsistency(), nullptr) << c.text;
  }
}

TEST_F(MoveText, SuccessLeavesPlyZeroPlainCoordinatesAndAnOlderTable) {
  set_up(promotion);
  tt_age = 7;
  ply = 1;
  ASSERT_EQ(enter_move("e7e8q"), 1);
  EXPECT_EQ(ply, 0);
  EXPECT_STREQ(move_text[0], "e7e8");
  EXPECT_EQ(tt_age, 8);
}

TEST_F(MoveText, FullGameRecordRefusesFurtherMoves) {
  new_game();
  game_index = MAX_GAME_MOVES;
  EXPECT_EQ(enter_move("e2e4"), 0);
  EXPECT_EQ(game_index, MAX_GAME_MOVES);
  EXPECT_EQ(board[sq("e2")], PAWN);
  new_game();
}

}  // namespace
