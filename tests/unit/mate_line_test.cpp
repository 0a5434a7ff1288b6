// Replaying announced mate lines, and reading suite and info lines.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "board.h"
#include "board/position_check.h"
#include "protocol/command_loop.h"
#include "search/ordering.h"
#include "tools/mate_line.h"
#include "tools/suite_parse.h"

namespace {

// White mates in 2 by cutting off the seventh rank: a1a7, then b2b8.
constexpr const char* LADDER = "6k1/8/8/8/8/8/1R6/R3K3 w - -";
// Promotions that mate on the back rank, one per side.
constexpr const char* WHITE_PROMOTES = "7k/4P1pp/8/8/8/8/8/K7 w - -";
constexpr const char* BLACK_PROMOTES = "k7/8/8/8/8/8/4p1PP/7K b - -";

class MateLineTest : public testing::Test {
 protected:
  void SetUp() override {
    ensure_engine_ready();
    reset_history();
  }
};

struct LineCase {
  const char* fen;
  const char* pv;
  int mate;
  int verdict;
};

TEST_F(MateLineTest, JudgesLines) {
  const LineCase cases[] = {
      {LADDER, "a1a7 g8h8 b2b8", 2, LINE_GOOD},
      {LADDER, "a1a7 g8f8 b2b8", 2, LINE_GOOD},
      {LADDER, "  a1a7   g8h8 b2b8  ", 2, LINE_GOOD},
      {LADDER, "a1a7 g8h8 b2b8", 3, LINE_WRONG_LENGTH},
      {LADDER, "a1a7 g8h8 b2b8", 1, LINE_WRONG_LENGTH},
      {LADDER, "a1a7 g8g7 b2b8", 2, LINE_BAD_MOVE},      // into the rook's rank
      {LADDER, "a1a7 g8h8 b2b9", 2, LINE_BAD_MOVE},      // off the board
      {LADDER, "a1a7 g8h8 b2b8x", 2, LINE_BAD_MOVE},     // unreadable
      {LADDER, "a1a7 g8h8 b2b8 h8g7", 2, LINE_BAD_MOVE}, // past the mate
      {LADDER, "g8h8", 1, LINE_BAD_MOVE},                // the defender's move first
      {LADDER, "a1a7 g8h8 b2b7", 2, LINE_NO_MATE},
      {LADDER, "a1a7 g8h8", 1, LINE_NO_MATE},            // ends with the defender's move
      {LADDER, "a1a8 g8f7", 1, LINE_NO_MATE},
      {LADDER, "", 1, LINE_NO_MATE},
      {WHITE_PROMOTES, "e7e8q", 1, LINE_GOOD},
      {WHITE_PROMOTES, "e7e8r", 1, LINE_GOOD},
      {WHITE_PROMOTES, "e7e8n", 1, LINE_NO_MATE},
      {WHITE_PROMOTES, "e7e8", 1, LINE_BAD_MOVE},        // the piece must be named
      {WHITE_PROMOTES, "e7e8Q", 1, LINE_BAD_MOVE},
      {BLACK_PROMOTES, "e2e1q", 1, LINE_GOOD},
      {BLACK_PROMOTES, "e2e1b", 1, LINE_NO_MATE},
      // Castling does not answer a check, however free the king's way.
      {"3rk2r/3p1p2/7B/8/8/8/1Q6/K7 w k -", "b2e2", 1, LINE_GOOD},
      {"3rk2r/3p1p2/7B/8/8/8/1Q6/K7 w k -", "b2e2 e8g8", 1, LINE_BAD_MOVE},
      {"8/8/8/8/8/8/R7/R3K2k w Q -", "e1c1", 1, LINE_GOOD},  // the rook lands with mate
      {"r3k3/8/8/8/8/8/8/4K2R b q -", "e8c8", 1, LINE_NO_MATE},
      {"3k4/8/3K4/8/8/8/8/R3K3 w Q -", "e1c1", 1, LINE_BAD_MOVE},  // two white kings
      {"7k/5Q2/6K1/8/8/8/8/8 w - -", "f7f8", 1, LINE_GOOD},
      {"7k/5Q2/6K1/8/8/8/8/8 w - -", "g6h6", 1, LINE_NO_MATE},  // stalemate is no mate
      {"7k/5Q2/6K1/8/8/8/8/8 w", "f7f8", 1, LINE_BAD_MOVE},      // position refused
      {nullptr, "f7f8", 1, LINE_BAD_MOVE},
  };
  for (const LineCase& c : cases)
    EXPECT_EQ(check_mate_line(c.fen, c.pv, c.mate), c.verdict) << c.fen << " | " << c.pv << " | mate " << c.mate;
}

// The verdict comes from the FEN alone: whatever the engine has set up is
// neither read nor changed.
TEST_F(MateLineTest, IgnoresTheEnginesPosition) {
  ASSERT_TRUE(setup_line_position(WHITE_PROMOTES));
  const uint32_t key = hash_key, lock = hash_lock;
  const int16_t records = game_index;
  EXPECT_EQ(check_mate_line(LADDER, "a1a7 g8h8 b2b8", 2), LINE_GOOD);
  EXPECT_EQ(check_mate_line(LADDER, "e7e8q", 1), LINE_BAD_MOVE);
  EXPECT_EQ(hash_key, key);
  EXPECT_EQ(hash_lock, lock);
  EXPECT_EQ(game_index, records);
  EXPECT_EQ(position_inconsistency(), nullptr);
}

TEST_F(MateLineTest, EnPassantFromTheFenIsPlayable) {
  // Black has just played d7d5; taking en passant opens the e-file for the queen.
  EXPECT_EQ(check_mate_line("3rkr2/5p2/1N6/3pP3/8/8/8/4QK2 w - d6", "e5d6", 1), LINE_GOOD);
  EXPECT_EQ(check_mate_line("3rkr2/5p2/1N6/3pP3/8/8/8/4QK2 w - -", "e5d6", 1), LINE_BAD_MOVE);
}

TEST_F(MateLineTest, RefusesImpossiblePositions) {
  EXPECT_FALSE(setup_line_position("8/8/8/8/8/8/8/K7 w - -"));          // one king
  EXPECT_FALSE(setup_line_position("6k1/8/8/8/8/8/1R6/R3K3 x - -"));   // side
  EXPECT_FALSE(setup_line_position("R5k1/8/8/8/8/8/8/6K1 w - -"));     // black in check, white to move
  EXPECT_TRUE(setup_line_position(LADDER));
}

TEST(SuiteParse, EpdLines) {
  char fen[SUITE_FEN_SIZE];
  int known = 0;
  ASSERT_TRUE(parse_mate_epd("5K2/8/2qk4/2nPp3/3r4/6B1/B7/3R4 w - e6 bm #1; ep; 00:00;", fen, &known));
  EXPECT_STREQ(fen, "5K2/8/2qk4/2nPp3/3r4/6B1/B7/3R4 w - e6");
  EXPECT_EQ(known, 1);
  ASSERT_TRUE(parse_mate_epd("  6k1/8/8/8/8/8/1R6/R3K3\tw - -  id \"x\"; bm #12;", fen, &known));
  EXPECT_STREQ(fen, "6k1/8/8/8/8/8/1R6/R3K3 w - -");
  EXPECT_EQ(known, 12);
  ASSERT_TRUE(parse_mate_epd("6k1/8/8/8/8/8/1R6/R3K3 w - - bm #3", fen, &known));
  EXPECT_EQ(known, 3);

  for (const char* bad : {"", "6k1/8/8/8/8/8/1R6/R3K3 w -", "6k1/8/8/8/8/8/1R6/R3K3 w - - bm Ra8;",
                          "6k1/8/8/8/8/8/1R6/R3K3 w - - bm #0;", "6k1/8/8/8/8/8/1R6/R3K3 w - - bm #;",
                          "6k1/8/8/8/8/8/1R6/R3K3 w - - bm #2x;", "6k1/8/8/8/8/8/1R6/R3K3 w - - dm 2;"}) {
    EXPECT_FALSE(parse_mate_epd(bad, fen, &known)) << bad;
  }
  const std::string long_board(200, '8');
  EXPECT_FALSE(parse_mate_epd((long_board + " w - - bm #2;").c_str(), fen, &known));
}

TEST(SuiteParse, InfoLines) {
  InfoLine info;
  const char* full =
      "info depth 17 seldepth 16 multipv 1 score mate 8 nodes 21617 nps 584243 hashfull 5 tbhits 0 time 37 pv f2f3 "
      "f5f4";
  ASSERT_TRUE(parse_info(full, &info));
  EXPECT_TRUE(info.has_mate);
  EXPECT_FALSE(info.bound);
  EXPECT_EQ(info.mate, 8);
  EXPECT_EQ(info.nodes, 21617u);
  EXPECT_EQ(info.nps, 584243u);
  ASSERT_NE(info.pv, nullptr);
  EXPECT_STREQ(info.pv, "f2f3 f5f4");

  ASSERT_TRUE(parse_info("info depth 9 score mate -3 upperbound nodes 7 pv e2e4", &info));
  EXPECT_EQ(info.mate, -3);
  EXPECT_TRUE(info.bound);
  EXPECT_EQ(info.nodes, 7u);

  ASSERT_TRUE(parse_info("info depth 4 score cp 35 lowerbound nps 900", &info));
  EXPECT_FALSE(info.has_mate);
  EXPECT_TRUE(info.has_nps);
  EXPECT_FALSE(info.has_nodes);
  EXPECT_EQ(info.pv, nullptr);

  // Text in an info string is not a score.
  ASSERT_TRUE(parse_info("info string score mate 2 nodes 5 pv a1a7", &info));
  EXPECT_FALSE(info.has_mate);
  EXPECT_FALSE(info.has_nodes);
  EXPECT_EQ(info.pv, nullptr);

  ASSERT_TRUE(parse_info("info currmove e2e4 currmovenumber 1", &info));
  EXPECT_FALSE(info.has_mate);
  EXPECT_FALSE(parse_info("bestmove a1a7", &info));
  EXPECT_FALSE(parse_info("infostring", &info));
}

}  // namespace
