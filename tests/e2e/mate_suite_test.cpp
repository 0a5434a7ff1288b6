// The mate suite against small scripted engines, so that its counting does not
// depend on any real engine's speed.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tool_run.h"

namespace {

// Rooks a1/b2 mate in 2 with a1a7 g8h8 b2b8; with the rook on b1 instead, a1a7
// is no move at all.
constexpr const char* LADDER = "6k1/8/8/8/8/8/1R6/R3K3 w - -";
constexpr const char* NO_A1_ROOK = "6k1/8/8/8/8/8/1R6/1R2K3 w - -";

// Scripts of the scripted engine: a command pattern and its replies, tab
// separated (scripted_engine.cpp).

// Answers every go with one bounded line (to be ignored) and one fixed mate in
// 2, and stop with bestmove.
constexpr const char* MATING_ENGINE =
    "uci\tid name Scripted\toption name Hash type spin default 1 min 1 max 8\tuciok\n"
    "isready\treadyok\n"
    "go*\tinfo depth 1 score mate 1 lowerbound nodes 10 pv b2b8"
    "\tinfo depth 3 seldepth 3 score mate 2 nodes 1000 nps 50000 pv a1a7 g8h8 b2b8\n"
    "stop\tbestmove a1a7\n"
    "quit\texit\n";

// Shows only a bound; the test puts its line in place of BOUND_LINE.
constexpr const char* BOUND_ENGINE =
    "uci\tuciok\n"
    "isready\treadyok\n"
    "go*\tinfo depth 2 score mate 2 lowerbound nodes 10 pv BOUND_LINE\n"
    "stop\tbestmove a1a7\n"
    "quit\texit\n";

// Handshakes, then dies at the first go.
constexpr const char* DYING_ENGINE =
    "uci\tuciok\n"
    "isready\treadyok\n"
    "go*\texit\n";

class MateSuiteRun : public ToolRun {
 protected:
  std::vector<std::string> run(const std::string& args) { return run_tool(MATE_SUITE_PATH, args); }
  // The scripted engine, answering from `script` (what it reads goes to engine.log).
  std::string scripted_engine(const std::string& script) {
    write_file("engine.script", script);
    return SCRIPTED_ENGINE_PATH;
  }

  // The RESULT line without its median, which is a time.
  static std::string result_counts(const std::vector<std::string>& lines) {
    if (lines.empty()) return "(no output)";
    const std::string& last = lines.back();
    return last.substr(0, last.find(" median_ms="));
  }
};

TEST_F(MateSuiteRun, CountsBestFoundAndBadLines) {
  const std::string engine = scripted_engine(MATING_ENGINE);
  const std::string suite = write_file("suite.epd", std::string(LADDER) + " bm #2; id \"good\";\n" +
                                                        "this line is not a position\n" + NO_A1_ROOK +
                                                        " bm #2;\n" + LADDER + " bm #3;\n");
  const auto lines = run("--engine " + engine + " --ms 60000 --option Hash=2 --csv " + dir_ + "/out.csv " + suite);
  EXPECT_EQ(status_, 0);
  // Mate in 2 is best in the first position, a bad line in the second, and in
  // the third shorter than the known mate: found, but not the best.
  EXPECT_EQ(result_counts(lines), "RESULT best=1/3 found=3 badpv=1");
  ASSERT_GE(lines.size(), 2u);
  EXPECT_NE(lines[lines.size() - 2].find("nps_avg=50000"), std::string::npos) << lines[lines.size() - 2];

  const std::string csv = read_text("out.csv");
  std::istringstream rows(csv);
  std::string header, row1, row2, row3, extra;
  std::getline(rows, header);
  std::getline(rows, row1);
  std::getline(rows, row2);
  std::getline(rows, row3);
  EXPECT_EQ(header, "index,fen,known,found_mate,best,badpv,ms_to_best,nodes");
  EXPECT_EQ(row1.rfind(std::string("1,") + LADDER + ",2,2,1,0,", 0), 0u) << row1;
  EXPECT_EQ(row1.substr(row1.rfind(',')), ",1000") << row1;
  EXPECT_EQ(row2, std::string("2,") + NO_A1_ROOK + ",2,2,0,1,,1000");
  EXPECT_EQ(row3, std::string("3,") + LADDER + ",3,2,0,0,,1000");
  EXPECT_FALSE(std::getline(rows, extra));

  const std::string notes = read_text("stderr.txt");
  EXPECT_NE(notes.find("line 2 skipped"), std::string::npos) << notes;
  EXPECT_NE(notes.find("position 2: mate 2 line illegal or unreadable move"), std::string::npos) << notes;

  const std::string sent = read_file("engine.log");
  EXPECT_NE(sent.find("setoption name Hash value 2\nisready\n"), std::string::npos) << sent;
  EXPECT_NE(sent.find(std::string("position fen ") + LADDER + "\nisready\ngo infinite\nstop\n"), std::string::npos)
      << sent;
  EXPECT_EQ(sent.find("ucinewgame"), std::string::npos) << sent;
}

// A bound claims no mate: it is never found or best, and only its moves are
// checked.
TEST_F(MateSuiteRun, BoundsAreCheckedForLegalityOnly) {
  const std::pair<const char*, const char*> cases[] = {{"a1a7", "RESULT best=0/1 found=0 badpv=0"},
                                                       {"a1a7 g8h8 zzzz", "RESULT best=0/1 found=0 badpv=1"}};
  for (auto [line, expected] : cases) {
    std::string script = BOUND_ENGINE;
    script.replace(script.find("BOUND_LINE"), 10, line);
    const std::string engine = scripted_engine(script);
    const std::string suite = write_file("suite.epd", std::string(LADDER) + " bm #2;\n");
    EXPECT_EQ(result_counts(run("--engine " + engine + " --ms 300 " + suite)), expected) << line;
  }
}

// "go mate N" asks for each problem's distance (within the engine's 1..50)
// and the engine ends that search by itself.
TEST_F(MateSuiteRun, GoMateAsksForTheKnownDistance) {
  const std::string engine = scripted_engine(
      "uci\tuciok\n"
      "isready\treadyok\n"
      "go mate*\tinfo depth 3 score mate 2 pv a1a7 g8h8 b2b8\tbestmove a1a7\n"
      "quit\texit\n");
  const std::string suite = write_file("suite.epd", std::string(LADDER) + " bm #2;\n" + LADDER + " bm #60;\n");
  EXPECT_EQ(result_counts(run("--engine " + engine + " --ms 60000 --go-mate " + suite)),
            "RESULT best=1/2 found=2 badpv=0");
  const std::string sent = read_file("engine.log");
  EXPECT_NE(sent.find("isready\ngo mate 2\nposition"), std::string::npos) << sent;
  EXPECT_NE(sent.find("isready\ngo mate 50\n"), std::string::npos) << sent;
  EXPECT_EQ(sent.find("go infinite"), std::string::npos) << sent;
}

TEST_F(MateSuiteRun, FirstLimitsThePositions) {
  const std::string engine = scripted_engine(MATING_ENGINE);
  const std::string suite = write_file("suite.epd", std::string(NO_A1_ROOK) + " bm #2;\n" + LADDER + " bm #2;\n");
  EXPECT_EQ(result_counts(run("--engine " + engine + " --first 1 --ucinewgame " + suite)),
            "RESULT best=0/1 found=1 badpv=1");
  EXPECT_NE(read_file("engine.log").find("ucinewgame\nposition fen"), std::string::npos);
}

TEST_F(MateSuiteRun, AnEngineThatDiesLeavesTheRestNotFound) {
  const std::string engine = scripted_engine(DYING_ENGINE);
  const std::string suite = write_file("suite.epd", std::string(LADDER) + " bm #2;\n" + LADDER + " bm #2;\n");
  const auto lines = run("--engine " + engine + " " + suite);
  EXPECT_EQ(status_, 0);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), "RESULT best=0/2 found=0 badpv=0 median_ms=0");
}

// Without --engine, a suite installed beside an engine named tervalk drives
// that one, whether it is started by its path or found through PATH.
TEST_F(MateSuiteRun, DrivesTheEngineInstalledBesideIt) {
  const std::string extension = std::filesystem::path(MATE_SUITE_PATH).extension().string();
  std::filesystem::copy_file(MATE_SUITE_PATH, dir_ + "/tervalk-mate-suite" + extension);
  std::filesystem::copy_file(scripted_engine(MATING_ENGINE), dir_ + "/tervalk" + extension);
  const std::string suite = write_file("suite.epd", std::string(LADDER) + " bm #2;\n");
  const char* old_path = std::getenv("PATH");
  const std::string saved_path = old_path != nullptr ? old_path : "";
#ifdef _WIN32
  _putenv_s("PATH", (dir_ + ";" + saved_path).c_str());
#else
  setenv("PATH", (dir_ + ":" + saved_path).c_str(), 1);
#endif
  for (const std::string& tool : {dir_ + "/tervalk-mate-suite" + extension, std::string("tervalk-mate-suite")}) {
    std::filesystem::remove(dir_ + "/engine.log");
    EXPECT_EQ(result_counts(run_tool(tool.c_str(), "--ms 60000 " + suite)), "RESULT best=1/1 found=1 badpv=0") << tool;
    EXPECT_NE(read_file("engine.log").find("go infinite"), std::string::npos) << tool;
  }
#ifdef _WIN32
  _putenv_s("PATH", saved_path.c_str());
#else
  setenv("PATH", saved_path.c_str(), 1);
#endif
}

TEST_F(MateSuiteRun, AMissingEngineIsAnError) {
  const std::string suite = write_file("suite.epd", std::string(LADDER) + " bm #2;\n");
  const auto lines = run("--engine " + dir_ + "/no-such-engine " + suite);
  EXPECT_EQ(status_, 1);
  EXPECT_TRUE(lines.empty());
}

TEST_F(MateSuiteRun, BadArgumentsShowUsage) {
  for (const char* args : {"", "--ms 0 x.epd", "--first x.epd", "a.epd b.epd", "--bogus a.epd"}) {
    run(args);
    EXPECT_EQ(status_, 2) << args;
  }
}

}  // namespace
