// The optional command-line numbers: exact bytes and exit status.
#include <gtest/gtest.h>

#include <csignal>
#include <set>
#include <string>
#include <vector>

#include "engine_process.h"

namespace {

struct CommandLineCase {
  std::vector<std::string> args;
  std::string output;  // exact bytes (code page 437 umlauts)
  int status;
};

const std::string hash_line_131072 = "Eintr\x84ge Hashtabelle:  131072 (default:  131072)\n";
const std::string valid_list =
    "\n G\x81ltige Werte: 16384, 32768, 65536, 131072, 262144, 524288,\n 1048576, 2097152, 4194304";

void PrintTo(const CommandLineCase& c, std::ostream* os) {
  *os << "args";
  for (const std::string& a : c.args) *os << " " << a;
}

class CommandLine : public testing::TestWithParam<CommandLineCase> {};

TEST_P(CommandLine, PrintsExactBytesAndExitStatus) {
  const CommandLineCase& c = GetParam();
  EngineProcess engine(c.args);
  // Cases that enter the command loop end with the input.
  engine.close_input();
  EXPECT_EQ(engine.read_all(), c.output);
  EXPECT_EQ(engine.wait_exit(), c.status);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandLine,
    testing::Values(
        CommandLineCase{{}, "", 0},
        CommandLineCase{{"131072", "100000"},
                        hash_line_131072 + "Eintr\x84ge Scoretabelle: 100000 (default:  100000)\n", 0},
        CommandLineCase{{"100", "60000"}, "Wert f\x81r Hashtabelle (    100) ist zu klein!!\n", 1},
        CommandLineCase{{"-5", "60000"}, "Ung\x81ltiger Wert (     -5) f\x81r Hashtabelle!!\n" + valid_list, 1},
        CommandLineCase{{"20000", "60000"}, "Ung\x81ltiger Wert (  20000) f\x81r Hashtabelle!!\n" + valid_list, 1},
        CommandLineCase{{"262144", "40000"},
                        "Eintr\x84ge Hashtabelle:  262144 (default:  131072)\n"
                        "Wert f\x81r 2. Hashtabelle (  40000) ist zu klein!!\n",
                        1},
        CommandLineCase{{"4194304", "-1"},
                        "Eintr\x84ge Hashtabelle: 4194304 (default:  131072)\n"
                        "Eintr\x84ge Scoretabelle:     -1 (default:  100000)\n",
                        0},
        CommandLineCase{{"5", "7", "x"},
                        "Eintr\x84ge Hashtabelle:       5 (default:  131072)\n"
                        "Eintr\x84ge Scoretabelle:      7 (default:  100000)\n",
                        0},
        CommandLineCase{{"16384"}, "", 0},
        CommandLineCase{{"uci", "100"}, "", 0},
        CommandLineCase{{"setboard", "60000"}, "Wert f\x81r Hashtabelle (      0) ist zu klein!!\n", 1},
        // Blanks and quotes inside an argument reach the engine as they are.
        CommandLineCase{{"100 200", "60000"}, "Wert f\x81r Hashtabelle (    100) ist zu klein!!\n", 1},
        CommandLineCase{{"\"5\" \\\"", "60000"}, "Wert f\x81r Hashtabelle (      0) ist zu klein!!\n", 1},
        CommandLineCase{{"1", "2", "3", "4"}, "", 0}));

TEST(CommandLineBanner, FollowsTheEchoFor2233) {
  EngineProcess engine({"2233", "1", "x"});
  engine.close_input();
  std::string out = engine.read_all();
  const std::string echo =
      "Eintr\x84ge Hashtabelle:    2233 (default:  131072)\n"
      "Eintr\x84ge Scoretabelle:      1 (default:  100000)\n";
  ASSERT_EQ(out.substr(0, echo.size()), echo);
  std::string banner = out.substr(echo.size());
  EXPECT_EQ(std::count(banner.begin(), banner.end(), '\n'), 2) << banner;
  EXPECT_NE(banner.find("Tervalk Mate"), std::string::npos);
  EXPECT_EQ(engine.wait_exit(), 0);
}

// After the echo the engine speaks UCI: its id lines, each option it
// announces once, and uciok last.
TEST(CommandLineEcho, ThenAnswersUci) {
  EngineProcess engine({"131072", "100000"});
  ASSERT_EQ(engine.read_line(), hash_line_131072.substr(0, hash_line_131072.size() - 1));
  engine.read_line();
  engine.send_line("uci");
  const std::vector<std::string> answer = engine.read_until("uciok");
  ASSERT_GE(answer.size(), 3u);
  EXPECT_EQ(answer[0].rfind("id name ", 0), 0u) << answer[0];
  EXPECT_EQ(answer[1].rfind("id author ", 0), 0u) << answer[1];
  std::set<std::string> options;
  for (std::size_t i = 2; i + 1 < answer.size(); i++) {
    const std::string& line = answer[i];
    EXPECT_TRUE(line.rfind("option name ", 0) == 0 && options.insert(line.substr(0, line.find(" type "))).second)
        << line;
  }
  EXPECT_EQ(answer.back(), "uciok");
}

TEST(Signals, InterruptIsIgnoredTerminationIsNot) {
  EngineProcess engine;
  engine.send_line("isready");
  ASSERT_EQ(engine.read_line(), "readyok");
  const bool interrupted = engine.signal(SIGINT);
  engine.send_line("isready");
  EXPECT_EQ(engine.read_line(), "readyok");
  engine.signal(SIGTERM);
  EXPECT_EQ(engine.wait_exit(), 128 + SIGTERM);
  // Windows sends control-C only through a console, which a headless test run lacks.
  if (!interrupted) GTEST_SKIP() << "control-C could not be sent";
}

}  // namespace
