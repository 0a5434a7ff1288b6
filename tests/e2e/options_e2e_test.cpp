// setoption as a GUI sends it: only Info answers; resizing and clearing the
// tables, before or after the first isready, leave the engine answering.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "engine_process.h"

namespace {

TEST(OptionsE2e, InfoAnswersHelloBeforeAndAfterIsready) {
  EngineProcess engine;
  engine.send_line("setoption name Info");
  EXPECT_EQ(engine.read_line(), "info string Hello");
  engine.send_line("isready");
  EXPECT_EQ(engine.read_line(), "readyok");
  engine.send_line("setoption name Info value ignored");
  EXPECT_EQ(engine.read_line(), "info string Hello");
  EXPECT_TRUE(engine.silent_for(200));
}

struct SilentCase {
  const char* name;
  const char* lines;
  bool after_isready;
};

void PrintTo(const SilentCase& c, std::ostream* os) { *os << c.name; }

class SilentOptions : public testing::TestWithParam<SilentCase> {};

TEST_P(SilentOptions, AnswerNothingAndTheEngineStaysReady) {
  const SilentCase& c = GetParam();
  EngineProcess engine;
  if (c.after_isready) {
    engine.send_line("isready");
    ASSERT_EQ(engine.read_line(), "readyok");
  }
  engine.send(c.lines);
  EXPECT_TRUE(engine.silent_for(300));
  engine.send_line("isready");
  // Filling the largest tables takes a while in a sanitizer build on a busy machine.
  EXPECT_EQ(engine.read_line(60000), "readyok");
  engine.send_line("quit");
  EXPECT_EQ(engine.wait_exit(30000), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SilentOptions,
    testing::Values(
        SilentCase{"ClearAfterIsready", "setoption name Clear Hash\n", true},
        SilentCase{"SmallHashAfterIsready", "setoption name Hash value 1\nsetoption name Clear Hash\n", true},
        SilentCase{"HugeHashAfterIsready", "setoption name Hash value 99999999\n", true},
        SilentCase{"NegativeHashAfterIsready", "setoption name Hash value -3\n", true},
        SilentCase{"ClearBeforeIsready", "setoption name Clear Hash\n", false},
        SilentCase{"HugeHashBeforeIsready", "setoption name Hash value 99999999\n", false},
        SilentCase{"InertAndUnknownNames",
                   "setoption name Style value risky\nsetoption name Selectivity value 3\n"
                   "setoption name Nonsense value 1\nsetoption\n",
                   true}),
    [](const testing::TestParamInfo<SilentCase>& info) { return info.param.name; });

TEST(OptionsE2e, LearnCreatesItsFileInTheWorkingDirectory) {
  EngineProcess engine;
  engine.send_line("setoption name Learn value true");
  engine.send_line("isready");
  ASSERT_EQ(engine.read_line(), "readyok");
  std::ifstream file(engine.workdir() + "/KORWEN.LRN", std::ios::binary);
  ASSERT_TRUE(file.is_open());
  std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  EXPECT_EQ(bytes, std::string("\x01\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0", 16));
  engine.send_line("setoption name Learn value false");
  engine.send_line("quit");
  EXPECT_EQ(engine.wait_exit(), 0);
}

}  // namespace
