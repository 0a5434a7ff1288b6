// The command loop as a GUI meets it: identification, readiness, silence for
// what it does not know, and robustness against hostile input.
#include <gtest/gtest.h>

#include "engine_process.h"

namespace {

const std::vector<std::string> identification = {
    "id name Tervalk Mate Beta3",
    "id author Halvorsk, Germany",
    "option name Hash type spin default 16 min 1 max 432",
    "option name Clear Hash type button",
    "option name Info type button",
    "option name Matt_in type spin default 15 min 1 max 50",
    "option name Zugzwang_Safe type check default false",
    "option name Mate_Solver type check default false",
    "option name Solver_Hash type spin default 32 min 1 max 1024",
    "option name Threads type spin default 1 min 1 max 256",
    "option name Obey_Limits type check default false",
    "option name GaviotaTbPath type string default <empty>",
    "option name GaviotaTbCache type spin default 8 min 1 max 1024",
    "uciok",
};

TEST(UciLoop, UciPrintsItsLinesAndEndOfInputExitsCleanly) {
  EngineProcess engine;
  engine.send_line("uci");
  engine.close_input();
  EXPECT_EQ(engine.read_all(), [] {
    std::string all;
    for (const auto& line : identification) all += line + "\n";
    return all;
  }());
  EXPECT_EQ(engine.wait_exit(), 0);
}

TEST(UciLoop, CommandsAreRecognisedByPrefix) {
  EngineProcess engine;
  engine.send_line("ucix");
  EXPECT_EQ(engine.read_until("uciok"), identification);
  engine.send_line("isreadyness");
  EXPECT_EQ(engine.read_line(), "readyok");
}

TEST(UciLoop, IsreadyAnswersEveryTimeAlsoWithCarriageReturn) {
  EngineProcess engine;
  engine.send("isready\nisready\r\nisready\n");
  for (int i = 0; i < 3; i++) EXPECT_EQ(engine.read_line(), "readyok");
}

TEST(UciLoop, CommandsSentInOneBurstAreAllAnswered) {
  // The first isready initialises the engine; nothing read after it is lost.
  EngineProcess engine;
  engine.send("uci\nisready\nposition startpos\nisready\nuci\nquit\n");
  std::string all = engine.read_all();
  std::string expected;
  for (const auto& line : identification) expected += line + "\n";
  expected += "readyok\nreadyok\n";
  for (const auto& line : identification) expected += line + "\n";
  EXPECT_EQ(all, expected);
  EXPECT_EQ(engine.wait_exit(), 0);
}

TEST(UciLoop, UnknownAndEmptyLinesGetNoReply) {
  EngineProcess engine;
  engine.send("\n   \n;;\nfoo bar\nstop\nponderhit\nUCI\n Isready\n");
  EXPECT_TRUE(engine.silent_for(300));
  engine.send_line("isready");
  EXPECT_EQ(engine.read_line(), "readyok");
}

TEST(UciLoop, QuitEndsTheEngineAndLaterInputIsIgnored) {
  EngineProcess engine;
  engine.send("quit\nuci\n");
  EXPECT_EQ(engine.read_all(), "");
  EXPECT_EQ(engine.wait_exit(), 0);
}

TEST(UciLoop, LastLineWithoutLineFeedIsStillRead) {
  EngineProcess engine;
  engine.send("isready");
  engine.close_input();
  EXPECT_EQ(engine.read_all(), "readyok\n");
  EXPECT_EQ(engine.wait_exit(), 0);
}

TEST(UciLoop, GoAndPositionBeforeIsreadyInitialiseTheEngine) {
  EngineProcess engine;
  engine.send("position startpos\ngo depth 1\n");
  std::vector<std::string> lines = engine.read_until("bestmove");
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back().rfind("bestmove ", 0), 0u);
  engine.send_line("isready");
  EXPECT_EQ(engine.read_line(), "readyok");
}

// Hostile input: each case must leave the engine answering normally.
struct HostileCase {
  const char* name;
  std::string bytes;
};

std::string repeated(const std::string& unit, int count) {
  std::string s;
  for (int i = 0; i < count; i++) s += unit;
  return s;
}

void PrintTo(const HostileCase& c, std::ostream* os) { *os << c.name; }

class HostileInput : public testing::TestWithParam<HostileCase> {};

TEST_P(HostileInput, IsSurvived) {
  EngineProcess engine;
  engine.send_line("isready");
  ASSERT_EQ(engine.read_line(), "readyok");
  engine.send(GetParam().bytes);
  engine.send_line("isready");
  // A huge Hash is cut to the largest table, which takes long to clear under the sanitizers.
  std::vector<std::string> lines = engine.read_until("readyok", 60000);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), "readyok");
  engine.send_line("quit");
  EXPECT_EQ(engine.wait_exit(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HostileInput,
    testing::Values(
        HostileCase{"TenThousandCharacterLine", std::string(10000, 'x') + "\n"},
        // The cut-off rest of an overlong line is dropped, not read as a command.
        HostileCase{"OverlongLineWithCommandInItsTail", std::string(5000, 'y') + " quit\n"},
        HostileCase{"ThousandTokens", "setoption name Hash value 1" + repeated(" 7", 1000) + "\n"},
        HostileCase{"ThousandMoves", "position startpos moves" + repeated(" e2e4", 1000) + "\n"},
        HostileCase{"OverlongSetoption",
                    "setoption name " + std::string(300, 'N') + " value " + repeated(std::string(40, 'v') + " ", 200) +
                        "\n"},
        HostileCase{"ValueWordLast", "go depth\ngo mate\n"},
        HostileCase{"ZeroBytes", std::string("go\0depth\0 1\n", 12)},
        HostileCase{"SemicolonsAndBlanks", ";;; ;;\ngo ;; depth;1;;\n"},
        HostileCase{"HugeNumbers", "setoption name Hash value 99999999999999999999\nsetoption name Matt_in value -99999999999\n"}),
    [](const testing::TestParamInfo<HostileCase>& info) { return info.param.name; });

}  // namespace
