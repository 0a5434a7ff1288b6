// The proof-number solver as a GUI or a script meets it: "go mate N" and the
// Mate_Solver option find long mates and print lines that play out; stop,
// isready and quit are heard in the middle of the solver's turns; and a
// position without a mate shows none.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine_process.h"
#include "mate_claims.h"
#include "set_up.h"

namespace {

// White mates in 20; a full-width search does not get near it.
constexpr const char* MATE_IN_20 = "3nn3/2p2p2/6p1/n1PB3n/3BK3/1P2NRP1/3pNPnk/3n3b w - - 0 1";
constexpr const char* START = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

bool starts_with(const std::string& s, const std::string& prefix) { return s.rfind(prefix, 0) == 0; }

// Waits for the search's first info line: a mate shown, "no mate", or a
// currmove line (shown once a search is older than a second, by when the
// solver has had its turns). Then sends isready and stop: the lines up to
// bestmove and readyok, whichever comes last.
std::vector<std::string> stopped_after_info(EngineProcess& engine) {
  std::vector<std::string> lines = engine.read_until("info ", 60000);
  engine.send_line("isready");
  engine.send_line("stop");
  for (const std::string last : {"bestmove ", "readyok"}) {
    if (std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return starts_with(l, last); })) continue;
    const std::vector<std::string> more = engine.read_until(last, 10000);
    EXPECT_TRUE(!more.empty() && starts_with(more.back(), last)) << last << joined(lines) << joined(more);
    lines.insert(lines.end(), more.begin(), more.end());
  }
  return lines;
}

TEST(Solver, GoMateFindsAMateInTwentyAndAnswers) {
  EngineProcess engine;
  start(engine, {}, MATE_IN_20);
  engine.send_line("go mate 20");
  const std::vector<std::string> lines = engine.read_until("bestmove", 120000);
  ASSERT_FALSE(lines.empty());
  EXPECT_TRUE(false_claims(MATE_IN_20, lines).empty()) << joined(false_claims(MATE_IN_20, lines));
  std::string pv;
  ASSERT_EQ(shortest_exact(lines, &pv), 20) << joined(lines);
  EXPECT_TRUE(starts_with(lines.back(), "bestmove " + pv.substr(0, pv.find(' ')))) << lines.back() << " / " << pv;
}

// For analysis: the option turns the solver on under go infinite, within
// Matt_in; the bestmove waits for stop. Matt_in far beyond the mate has the
// solver climb from short limits to it, and shorten what it finds.
TEST(Solver, OptionFindsTheMateUnderGoInfinite) {
  struct Case {
    const char* fen;
    const char* matt_in;
    int mate;
  };
  const Case cases[] = {
      {MATE_IN_20, "Matt_in value 20", 20},
      {MATE_IN_20, "Matt_in value 50", 20},
      {"8/8/2p5/1NN1k1K1/4p1b1/1B5r/2nPqP2/4R3 w - - 0 1", "Matt_in value 50", 12},
  };
  for (const Case& c : cases) {
    EngineProcess engine;
    start(engine, {"Mate_Solver value true", c.matt_in}, c.fen);
    engine.send_line("go infinite");
    std::vector<std::string> lines;
    std::string pv;
    read_mate_then_stop(engine, c.mate, &lines, &pv);
    if (HasFatalFailure()) return;
    EXPECT_TRUE(false_claims(c.fen, lines).empty()) << c.matt_in << joined(false_claims(c.fen, lines));
    EXPECT_TRUE(starts_with(lines.back(), "bestmove " + pv.substr(0, pv.find(' ')))) << lines.back();
  }
}

// isready is answered and stop ends the search in the middle of the
// solver's work (under go infinite, once the mate in 20 is shown, a shorter
// one); quit ends the process.
TEST(Solver, StopIsreadyAndQuitAreHeardDuringTheSolversTurns) {
  for (const char* go : {"go mate 19", "go infinite"}) {
    EngineProcess engine;
    start(engine, {"Mate_Solver value true", "Matt_in value 20"}, MATE_IN_20);
    engine.send_line(go);
    const std::vector<std::string> lines = stopped_after_info(engine);
    EXPECT_TRUE(false_claims(MATE_IN_20, lines).empty()) << go << joined(false_claims(MATE_IN_20, lines));
    engine.send_line(go);
    engine.send_line("quit");
    EXPECT_EQ(engine.wait_exit(5000), 0) << go;
  }
}

// Without a mate the solver proves nothing, and nothing is claimed.
TEST(Solver, APositionWithoutAMateShowsNone) {
  for (const char* go : {"go mate 3", "go infinite"}) {
    EngineProcess engine;
    start(engine, {"Mate_Solver value true"}, START);
    engine.send_line(go);
    const std::vector<std::string> lines = stopped_after_info(engine);
    EXPECT_TRUE(mate_claims(lines).empty()) << go << joined(lines);
  }
}

}  // namespace
