// Tokenising, numbers, line cutting and the limits of go.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "protocol/command_loop.h"
#include "protocol/input.h"
#include "search_control.h"
#include "search_state.h"
#include "settings.h"

namespace {

TEST(Tokenize, SplitsAtBlanksAndSemicolons) {
  EXPECT_EQ(tokenize("  go;;depth  5 ;"), 3);
  EXPECT_STREQ(tokens[0], "go");
  EXPECT_STREQ(tokens[1], "depth");
  EXPECT_STREQ(tokens[2], "5");
  EXPECT_STREQ(tokens[3], "");
  EXPECT_EQ(tokenize(""), 0);
  EXPECT_STREQ(tokens[0], "");
  EXPECT_EQ(tokenize(" ; ; "), 0);
}

TEST(Tokenize, EmptiesSlotsOfTheLineBefore) {
  tokenize("a b c d e f g h i j k l");
  tokenize("x");
  for (int i = 1; i < MAX_TOKENS; i++) ASSERT_STREQ(tokens[i], "") << i;
}

TEST(Tokenize, CutsTokensToTheirSlot) {
  std::string long_word(150, 'L');
  std::string line = long_word;
  for (int i = 0; i < 10; i++) line += " " + long_word;
  EXPECT_EQ(tokenize(line.c_str()), 11);
  EXPECT_EQ(std::strlen(tokens[0]), 99u);
  EXPECT_EQ(std::strlen(tokens[9]), 99u);
  EXPECT_EQ(std::strlen(tokens[10]), 15u);
}

TEST(Tokenize, StopsAtTheLastSlotAndSaysSo) {
  std::string line;
  for (int i = 0; i < MAX_TOKENS; i++) line.append("t").append(std::to_string(i)).append(" ");
  EXPECT_EQ(tokenize(line.c_str()), MAX_TOKENS);
  EXPECT_FALSE(tokens_overflowed());
  line.append("over");
  EXPECT_EQ(tokenize(line.c_str()), MAX_TOKENS);
  EXPECT_STREQ(tokens[MAX_TOKENS - 1], ("t" + std::to_string(MAX_TOKENS - 1)).c_str());
  EXPECT_TRUE(tokens_overflowed());
}

TEST(ParseNumber, ReadsLikeTheCommandLine) {
  struct Case {
    const char* text;
    int32_t value;
  } cases[] = {{"42", 42},      {"  -5", -5},       {"+7", 7},          {"12abc", 12},
               {"abc", 0},      {"", 0},            {"- 5", 0},         {"\t 9", 9},
               {"2147483647", INT32_MAX}, {"99999999999999999999", INT32_MAX},
               {"-99999999999999999999", INT32_MIN}};
  for (const Case& c : cases) EXPECT_EQ(parse_number(c.text), c.value) << c.text;
}

TEST(TakeLine, CutsAtLineFeedAndBlanksTheFirstCarriageReturn) {
  clear_pending_input();
  std::strcpy(pending_input, "isready\r\r\nuci\npart");
  char line[INPUT_BUFFER_SIZE];
  ASSERT_TRUE(take_line(line));
  EXPECT_STREQ(line, "isready \r");
  ASSERT_TRUE(take_line(line));
  EXPECT_STREQ(line, "uci");
  EXPECT_FALSE(take_line(line));
  EXPECT_STREQ(pending_input, "part");
  EXPECT_FALSE(pending_has_line());
  clear_pending_input();
}

TEST(TakeLine, AFullBufferIsCutIntoALine) {
  clear_pending_input();
  std::memset(pending_input, 'z', INPUT_BUFFER_SIZE - 1);
  pending_input[INPUT_BUFFER_SIZE - 1] = '\0';
  EXPECT_TRUE(pending_has_line());
  char line[INPUT_BUFFER_SIZE];
  ASSERT_TRUE(take_line(line));
  EXPECT_EQ(std::strlen(line), static_cast<std::size_t>(INPUT_BUFFER_SIZE - 1));
  EXPECT_TRUE(last_line_cut());
  EXPECT_STREQ(pending_input, "");
  std::strcpy(pending_input, "uci\n");
  ASSERT_TRUE(take_line(line));
  EXPECT_FALSE(last_line_cut());
  clear_pending_input();
}

struct GoCase {
  const char* line;
  uint8_t mode;
  uint8_t depth;
  int8_t mate = 0;
};

void PrintTo(const GoCase& c, std::ostream* os) { *os << '"' << c.line << '"'; }

class GoLimits : public testing::TestWithParam<GoCase> {};

TEST_P(GoLimits, SetModeAndDepth) {
  const GoCase& c = GetParam();
  iteration_depth = 5;
  elapsed = 77;
  read_go_limits(c.line);
  EXPECT_EQ(time_mode, c.mode) << c.line;
  EXPECT_EQ(depth_limit, c.depth) << c.line;
  EXPECT_EQ(go_mate_moves, c.mate) << c.line;
  EXPECT_EQ(iteration_depth, 0);
  EXPECT_EQ(elapsed, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GoLimits,
    testing::Values(GoCase{"go", TM_CLOCK, 98}, GoCase{"go wtime 60000 btime 55000 winc 1000 binc 2000", TM_CLOCK, 98},
                    GoCase{"go movestogo 20 wtime 60000 btime 60000", TM_MOVESTOGO, 98},
                    GoCase{"go movetime 2500", TM_MOVETIME, 98}, GoCase{"go movetime 2500 depth 7", TM_DEPTH, 7},
                    GoCase{"go depth 3", TM_DEPTH, 3},
                    // mate limits the mate's length, not the iterations; kept within 1..50
                    GoCase{"go mate 3", TM_DEPTH, 98, 3}, GoCase{"go mate 0", TM_DEPTH, 98, 1},
                    GoCase{"go mate 300", TM_DEPTH, 98, 50}, GoCase{"go depth 5 mate 2", TM_DEPTH, 5, 2},
                    GoCase{"go nodes 50000", TM_INFINITE, 98}, GoCase{"go infinite", TM_INFINITE, 98},
                    GoCase{"go depth", TM_DEPTH, 0}, GoCase{"go depth 300", TM_DEPTH, 44},
                    GoCase{"go depth 7 movetime 10", TM_MOVETIME, 7}, GoCase{"go infinite depth", TM_DEPTH, 0},
                    // The value word consumes its value, even a word.
                    GoCase{"go wtime infinite", TM_CLOCK, 98}, GoCase{"gox depth 4", TM_DEPTH, 4},
                    GoCase{"go Depth 4", TM_CLOCK, 98}));

TEST(GoLimitsPonder, SetsPonderingAndKeepsIt) {
  pondering = 0;
  read_go_limits("go ponder wtime 1000");
  EXPECT_EQ(pondering, 1);
  read_go_limits("go depth 2");
  EXPECT_EQ(pondering, 1);
  pondering = 0;
}

}  // namespace
