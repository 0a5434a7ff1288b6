// Searches driven as a GUI drives them: go, stop, isready and ponderhit over
// the pipes, mates reported and replayed on the engine's own rules.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "engine_process.h"
#include "mate_claims.h"
#include "protocol/command_loop.h"
#include "tests/mate_problems.h"
#include "tools/mate_line.h"

namespace {

bool starts_with(const std::string& s, const std::string& prefix) { return s.rfind(prefix, 0) == 0; }

// The engine, initialised and with a position set.
struct Session {
  EngineProcess engine;
  explicit Session(const std::string& position = "position startpos") {
    engine.send_line("isready");
    EXPECT_EQ(engine.read_line(), "readyok");
    engine.send_line(position);
  }
  std::vector<std::string> go(const std::string& command) {
    engine.send_line(command);
    return engine.read_until("bestmove", 60000);
  }
};

std::string bestmove_of(const std::vector<std::string>& lines) {
  return lines.empty() || !starts_with(lines.back(), "bestmove ") ? "" : lines.back();
}

// The move of a bestmove line, and the rank digit of its from-square.
std::string move_of(const std::string& bestmove_line) { return bestmove_line.substr(9, 4); }
char from_rank(const std::string& bestmove_line) { return bestmove_line.size() > 10 ? bestmove_line[10] : '?'; }

TEST(Search, InfiniteStopsOnStopWithoutPonderAndKeepsTheBoard) {
  Session s;
  s.engine.send_line("go infinite");
  EXPECT_TRUE(s.engine.silent_for(300));  // no mate, no line within the first second
  s.engine.send_line("stop");
  const std::string line = bestmove_of(s.engine.read_until("bestmove", 5000));
  ASSERT_FALSE(line.empty());
  EXPECT_EQ(line.find("ponder"), std::string::npos) << line;
  EXPECT_TRUE(from_rank(line) == '1' || from_rank(line) == '2') << line;
  // Still white to move.
  const std::string next = bestmove_of(s.go("go depth 1"));
  EXPECT_TRUE(from_rank(next) == '1' || from_rank(next) == '2') << next;
}

TEST(Search, OrdinarySearchPlaysItsMoveAndPassesTheTurn) {
  Session s;
  const std::string white = bestmove_of(s.go("go depth 2"));
  ASSERT_FALSE(white.empty());
  EXPECT_TRUE(from_rank(white) == '1' || from_rank(white) == '2') << white;
  const std::string black = bestmove_of(s.go("go depth 2"));
  EXPECT_TRUE(from_rank(black) == '7' || from_rank(black) == '8') << black;
}

TEST(Search, DepthAndMateLimitsEndTheSearch) {
  for (const char* command : {"go depth 1", "go depth 2", "go mate 3", "go depth 4 movetime 100"}) {
    Session s("position fen 6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1");
    const std::vector<std::string> lines = s.go(command);
    ASSERT_FALSE(bestmove_of(lines).empty()) << command;
    EXPECT_EQ(move_of(bestmove_of(lines)), "a1a8") << command;
  }
}

TEST(Search, MateInOneIsReportedAtDepthTwo) {
  Session s("position fen 6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1");
  const std::vector<std::string> lines = s.go("go depth 2");
  ASSERT_GE(lines.size(), 2u);
  EXPECT_TRUE(starts_with(lines[0], "info depth 2 seldepth ")) << lines[0];
  EXPECT_NE(lines[0].find(" score mate 1 pv a1a8"), std::string::npos) << lines[0];
  EXPECT_EQ(lines.back(), "bestmove a1a8");
}

TEST(Search, MultiPvLinesHaveTheirOwnShape) {
  Session s("position fen 6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1");
  s.engine.send_line("setoption name MultiPV value 3");
  const std::vector<std::string> lines = s.go("go depth 3");
  bool first = false, second = false, third = false;
  for (const std::string& line : lines) {
    first = first || line.find("score mate 1 multipv 1 pv a1a8") != std::string::npos;
    second = second || (starts_with(line, "info multipv 2 score ") && line.find(" pv ") != std::string::npos &&
                        line.find("  ") == std::string::npos);
    third = third || starts_with(line, "info multipv 3 score ");
  }
  EXPECT_TRUE(first && second && third);
}

TEST(Search, IsreadyIsAnsweredDuringASearch) {
  Session s;
  s.engine.send_line("go infinite");
  s.engine.send_line("isready");
  EXPECT_EQ(s.engine.read_line(5000), "readyok");
  s.engine.send_line("stop");
  EXPECT_FALSE(bestmove_of(s.engine.read_until("bestmove", 5000)).empty());
}

TEST(Search, OtherCommandsDuringASearchAreDropped) {
  Session s;
  s.engine.send_line("go infinite");
  s.engine.send_line("position fen 6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1");
  s.engine.send_line("stop");
  ASSERT_FALSE(bestmove_of(s.engine.read_until("bestmove", 5000)).empty());
  // Still the start position: no mate in one to announce.
  const std::vector<std::string> lines = s.go("go depth 2");
  EXPECT_NE(move_of(bestmove_of(lines)), "a1a8");
  for (const std::string& line : lines) EXPECT_EQ(line.find("score mate"), std::string::npos) << line;
}

TEST(Search, QuitDuringASearchEndsTheEngine) {
  Session s;
  s.engine.send_line("go infinite");
  s.engine.send_line("quit");
  EXPECT_FALSE(bestmove_of(s.engine.read_until("bestmove", 5000)).empty());
  EXPECT_EQ(s.engine.wait_exit(5000), 0);
}

TEST(Search, EndOfInputDuringASearchEndsTheEngine) {
  Session s;
  s.engine.send_line("go infinite");
  s.engine.close_input();
  EXPECT_FALSE(bestmove_of(s.engine.read_until("bestmove", 5000)).empty());
  EXPECT_EQ(s.engine.wait_exit(5000), 0);
}

TEST(Search, PonderhitTurnsPonderingIntoAnOrdinarySearch) {
  Session s("position startpos moves e2e4");
  s.engine.send_line("go ponder");
  s.engine.send_line("ponderhit");
  s.engine.send_line("stop");
  const std::string line = bestmove_of(s.engine.read_until("bestmove", 5000));
  ASSERT_FALSE(line.empty());
  EXPECT_TRUE(from_rank(line) == '7' || from_rank(line) == '8') << line;
}

TEST(Search, NoLegalMoveAnswersTheNullMove) {
  Session s("position fen 7k/5Q2/6K1/8/8/8/8/8 b - - 0 1");  // stalemate
  EXPECT_EQ(s.go("go depth 3").back(), "bestmove 0000");
}

// A side mated on the engine's board keeps the turn: handed over, the other
// side could take its king.
TEST(Search, MatedSideKeepsTheTurnForTheNextGo) {
  Session s("position fen 8/8/8/8/8/5k2/6q1/7K w - - 0 1");
  EXPECT_EQ(s.go("go depth 2").back(), "bestmove 0000");
  EXPECT_EQ(s.go("go depth 2").back(), "bestmove 0000");
  s.engine.send_line("isready");
  EXPECT_EQ(s.engine.read_line(), "readyok");
}

// Every mate the engine announces on the short problems is a real mate of
// the announced length, and the known distance is reached.
TEST(Search, ShortProblemsAreSolvedAndEveryLineMates) {
#if defined(TERVALK_SANITIZED) || !defined(NDEBUG)
  GTEST_SKIP() << "needs the speed of an optimised build";
#endif
  ensure_engine_ready();
  int solved = 0, total = 0;
  std::string unsolved;
  for (const MateProblem& p : mate_problems(3)) {
    total++;
    Session s("position fen " + p.fen + " 0 1");
    s.engine.send_line("go infinite");
    bool exact = false, ended = false;
    // Waits for the known distance, a generous while for each problem.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!exact && std::chrono::steady_clock::now() < deadline) {
      const auto line = s.engine.read_line(2000);
      if (!line) continue;
      if (starts_with(*line, "bestmove")) {
        ended = true;
        break;
      }
      const std::vector<MateClaim> claims = mate_claims({*line});
      if (claims.empty()) continue;
      EXPECT_TRUE(false_claims(p.fen, {*line}).empty()) << p.fen << ": " << *line;
      if (claims[0].bound) continue;
      const int claimed = claims[0].moves;
      ASSERT_GE(claimed, p.moves) << p.fen << ": " << *line;
      if (claimed == p.moves) exact = true;
    }
    if (!ended) {
      s.engine.send_line("stop");
      s.engine.read_until("bestmove", 5000);
    }
    if (exact)
      solved++;
    else
      unsolved += " [" + p.fen + "]";
  }
  // Zugzwang problems are the hard ones: the defender's null move hides
  // them from the mate test. Three are not solved at their distance yet.
  EXPECT_GE(solved, total - 3) << "unsolved:" << unsolved;
}

}  // namespace
