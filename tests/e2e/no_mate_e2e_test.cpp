// "go mate N" where there is no mate in N: the engine proves it, says so and
// answers by itself, with one search thread and with several.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine_process.h"
#include "mate_claims.h"
#include "set_up.h"

namespace {

struct Problem {
  const char* fen;
  int moves;  // the shortest mate
};

const Problem PROBLEMS[] = {
    {"2brrb2/8/p7/7Q/1p1kpPp1/1P1pN1K1/3P4/8 w - - 0 1", 2},
    {"1r5k/4NP1b/7K/8/6R1/8/8/8 w - - 0 1", 3},
    {"1B2n3/8/2R5/5p2/3kp1n1/4p3/B3K3/8 w - - 0 1", 4},
    {"1B4n1/p7/1p1R4/8/2R5/4K3/n3pppp/4kbr1 w - - 0 1", 5},
};

bool said_no_mate(const std::vector<std::string>& lines, int moves) {
  for (const std::string& line : lines)
    if (line == "info string no mate in " + std::to_string(moves)) return true;
  return false;
}

TEST(NoMate, OneMoveShorterThanTheMateIsProvenAbsent) {
  for (const char* threads : {"1", "2"}) {
    for (const Problem& p : PROBLEMS) {
      EngineProcess engine;
      start(engine, {std::string("Threads value ") + threads}, p.fen);
      engine.send_line("go mate " + std::to_string(p.moves - 1));
      const std::vector<std::string> lines = engine.read_until("bestmove", 120000);
      ASSERT_FALSE(lines.empty()) << p.fen;
      EXPECT_TRUE(said_no_mate(lines, p.moves - 1)) << threads << " " << p.fen << joined(lines);
      // A longer mate may be shown on the way, never one within the limit.
      std::string pv;
      const int shown = shortest_exact(lines, &pv);
      EXPECT_TRUE(shown == 0 || shown >= p.moves) << p.fen << joined(lines);
      EXPECT_TRUE(false_claims(p.fen, lines).empty()) << p.fen << joined(false_claims(p.fen, lines));
      EXPECT_NE(lines.back(), "bestmove 0000") << p.fen;
    }
  }
}

// Mated or stalemated at the root: no move at all, so no mate either.
TEST(NoMate, APositionWithNoMoveHasNoMate) {
  for (const char* fen : {"7k/6Q1/6K1/8/8/8/8/8 b - - 0 1", "7k/5Q2/6K1/8/8/8/8/8 b - - 0 1"}) {
    EngineProcess engine;
    start(engine, {}, fen);
    engine.send_line("go mate 2");
    const std::vector<std::string> lines = engine.read_until("bestmove", 10000);
    ASSERT_FALSE(lines.empty()) << fen;
    EXPECT_TRUE(said_no_mate(lines, 2)) << fen << joined(lines);
    EXPECT_EQ(lines.back(), "bestmove 0000") << fen;
  }
}

// Where the mate exists, it is shown and nothing says otherwise.
TEST(NoMate, TheMateItselfIsShownNotDenied) {
  for (const Problem& p : PROBLEMS) {
    EngineProcess engine;
    start(engine, {}, p.fen);
    engine.send_line("go mate " + std::to_string(p.moves));
    const std::vector<std::string> lines = engine.read_until("bestmove", 120000);
    ASSERT_FALSE(lines.empty()) << p.fen;
    EXPECT_FALSE(said_no_mate(lines, p.moves)) << p.fen << joined(lines);
    EXPECT_TRUE(false_claims(p.fen, lines).empty()) << p.fen << joined(false_claims(p.fen, lines));
    std::string pv;
    EXPECT_EQ(shortest_exact(lines, &pv), p.moves) << p.fen << joined(lines);
  }
}

}  // namespace
