// Several search threads as a GUI meets them: mates found and their lines
// playing out, stop and isready heard while every thread searches, quit
// ending all of them, and Threads changed between searches and during one.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine_process.h"
#include "mate_claims.h"
#include "set_up.h"

namespace {

constexpr const char* START = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

bool starts_with(const std::string& s, const std::string& prefix) { return s.rfind(prefix, 0) == 0; }

// An isready answered after go: the search is under way, with its threads.
void expect_searching(EngineProcess& engine) {
  engine.send_line("isready");
  const std::vector<std::string> lines = engine.read_until("readyok", 5000);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), "readyok") << joined(lines);
}

std::string first_move(const std::string& pv) { return pv.substr(0, pv.find(' ')); }

// The move of a bestmove line (without its ponder move).
std::string best_of(const std::string& line) {
  return starts_with(line, "bestmove ") ? first_move(line.substr(9)) : "(" + line + ")";
}

TEST(Threads, MatesAreFoundAndTheirLinesPlayOut) {
  struct Case {
    const char* fen;
    int moves;
    const char* threads;
  };
  const Case cases[] = {
      {"1r5k/4NP1b/7K/8/6R1/8/8/8 w - - 0 1", 3, "2"},
      {"1B4n1/p7/1p1R4/8/2R5/4K3/n3pppp/4kbr1 w - - 0 1", 5, "2"},
      {"1n6/8/8/R3Np1K/1N3k2/1R6/1P5P/3n4 w - - 0 1", 5, "3"},
  };
  for (const Case& c : cases) {
    EngineProcess engine;
    start(engine, {std::string("Threads value ") + c.threads}, c.fen);
    engine.send_line("go mate " + std::to_string(c.moves));
    const std::vector<std::string> lines = engine.read_until("bestmove", 120000);
    ASSERT_FALSE(lines.empty()) << c.fen;
    EXPECT_TRUE(false_claims(c.fen, lines).empty()) << c.fen << joined(false_claims(c.fen, lines));
    std::string pv;
    EXPECT_EQ(shortest_exact(lines, &pv), c.moves) << c.fen << joined(lines);
    EXPECT_EQ(best_of(lines.back()), first_move(pv)) << c.fen;
  }
}

// With Threads above 1 the proof-number solver of "go mate" and Mate_Solver
// works on a thread of its own: its mate is shown with a line that plays
// out, and quit ends it in the middle of a job.
TEST(Threads, TheSolversThreadProvesALongMate) {
  const char* mate_in_20 = "3nn3/2p2p2/6p1/n1PB3n/3BK3/1P2NRP1/3pNPnk/3n3b w - - 0 1";
  struct Case {
    std::vector<std::string> options;
    const char* go;
  };
  const Case cases[] = {
      {{"Threads value 2"}, "go mate 20"},
      {{"Threads value 3"}, "go mate 20"},
      {{"Threads value 2", "Mate_Solver value true", "Matt_in value 20"}, "go infinite"},
  };
  for (const Case& c : cases) {
    EngineProcess engine;
    start(engine, c.options, mate_in_20);
    engine.send_line(c.go);
    std::vector<std::string> lines;
    if (std::string(c.go) == "go infinite") {
      std::string shown;
      read_mate_then_stop(engine, 20, &lines, &shown);
      if (HasFatalFailure()) return;
    } else {
      lines = engine.read_until("bestmove", 120000);
    }
    ASSERT_FALSE(lines.empty()) << c.go;
    EXPECT_TRUE(false_claims(mate_in_20, lines).empty()) << c.go << joined(false_claims(mate_in_20, lines));
    std::string pv;
    EXPECT_EQ(shortest_exact(lines, &pv), 20) << c.go << joined(lines);
    EXPECT_EQ(best_of(lines.back()), first_move(pv)) << c.go;
  }
  EngineProcess engine;
  start(engine, {"Threads value 2"}, "2r5/8/b7/8/2p2Q2/3p3p/5p2/4bK1k w - - 0 1");
  engine.send_line("go mate 15");
  expect_searching(engine);
  engine.send_line("quit");
  EXPECT_EQ(engine.wait_exit(5000), 0);
}

// More threads than this machine has cores: the main thread still hears
// isready and stop at once, and quit ends the process with every thread.
TEST(Threads, IsreadyStopAndQuitAreHeardWhileAllThreadsSearch) {
  for (const char* end : {"stop", "quit"}) {
    EngineProcess engine;
    start(engine, {"Threads value 4"}, START);
    engine.send_line("go infinite");
    expect_searching(engine);
    engine.send_line(end);
    if (std::string(end) == "stop") {
      const std::vector<std::string> lines = engine.read_until("bestmove", 5000);
      ASSERT_FALSE(lines.empty());
      EXPECT_TRUE(starts_with(lines.back(), "bestmove ")) << lines.back();
      engine.send_line("quit");
    }
    EXPECT_EQ(engine.wait_exit(5000), 0) << end;
  }
}

// A position with no move starts no helper: the helpers of the search
// before it are not stopped a second time.
TEST(Threads, APositionWithNoMoveAfterASearchOnSeveralThreads) {
  EngineProcess engine;
  start(engine, {"Threads value 3"}, "1r5k/4NP1b/7K/8/6R1/8/8/8 w - - 0 1");
  engine.send_line("go mate 3");
  ASSERT_FALSE(engine.read_until("bestmove", 60000).empty());
  for (const char* mated : {"7k/6Q1/6K1/8/8/8/8/8 b - - 0 1", "7k/5Q2/6K1/8/8/8/8/8 b - - 0 1"}) {
    engine.send_line(std::string("position fen ") + mated);
    engine.send_line("go infinite");
    engine.send_line("stop");
    const std::vector<std::string> lines = engine.read_until("bestmove", 10000);
    ASSERT_FALSE(lines.empty()) << mated;
    EXPECT_EQ(lines.back(), "bestmove 0000") << mated;
  }
  engine.send_line("quit");
  EXPECT_EQ(engine.wait_exit(5000), 0);
}

// Threads set between searches, and during one (it counts from the next go).
TEST(Threads, ChangesTakeEffectAtTheNextGo) {
  const char* fen = "1r5k/4NP1b/7K/8/6R1/8/8/8 w - - 0 1";
  EngineProcess engine;
  start(engine, {"Threads value 2"}, fen);
  for (const char* threads : {"1", "3", "2"}) {
    // The engine plays its move on its own board: the position again.
    engine.send_line("position fen " + std::string(fen));
    engine.send_line("go mate 3");
    const std::vector<std::string> lines = engine.read_until("bestmove", 60000);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(best_of(lines.back()), "g4g8") << "before Threads " << threads;
    EXPECT_TRUE(false_claims(fen, lines).empty()) << joined(false_claims(fen, lines));
    engine.send_line(std::string("setoption name Threads value ") + threads);
  }
  engine.send_line("position fen " + std::string(START));
  engine.send_line("go infinite");
  expect_searching(engine);
  engine.send_line("setoption name Threads value 1");
  engine.send_line("stop");
  const std::vector<std::string> stopped = engine.read_until("bestmove", 5000);
  ASSERT_FALSE(stopped.empty());
  EXPECT_TRUE(starts_with(stopped.back(), "bestmove ")) << stopped.back();
  engine.send_line("position fen " + std::string(fen));
  engine.send_line("go mate 3");
  const std::vector<std::string> lines = engine.read_until("bestmove", 60000);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(best_of(lines.back()), "g4g8");
}

}  // namespace
