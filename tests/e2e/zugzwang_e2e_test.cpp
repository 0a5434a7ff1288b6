// Zugzwang mates: the key move threatens nothing and the defender loses only
// because it must move. A defender's null move hides such a mate unless
// Zugzwang_Safe has it verified.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine_process.h"
#include "mate_claims.h"

namespace {

// 1.Kh6 (a quiet king move); every black reply allows a mate.
constexpr const char* ZUGZWANG_IN_TWO = "8/p4P1K/rb1N2Bp/p3P3/N3R1P1/1P1k1P2/1Pbrnp2/2R2Q2 w - - 0 1";

int shortest_exact_mate(const std::vector<std::string>& lines) {
  int best = 0;
  for (const MateClaim& claim : mate_claims(lines))
    if (!claim.bound && (best == 0 || claim.moves < best)) best = claim.moves;
  return best;
}

TEST(Zugzwang, MateInTwoIsFoundOnlyWithTheOptionOn) {
  for (const char* safe : {"false", "true"}) {
    EngineProcess engine;
    // Helper threads may stumble on the mate the option's search hides.
    engine.send_line("setoption name Threads value 1");
    engine.send_line(std::string("setoption name Zugzwang_Safe value ") + safe);
    engine.send_line("setoption name Matt_in value 2");
    engine.send_line("isready");
    EXPECT_EQ(engine.read_line(), "readyok");
    engine.send_line(std::string("position fen ") + ZUGZWANG_IN_TWO);
    engine.send_line("go depth 10");
    const std::vector<std::string> lines = engine.read_until("bestmove", 60000);
    EXPECT_TRUE(false_claims(ZUGZWANG_IN_TWO, lines).empty()) << safe << joined(false_claims(ZUGZWANG_IN_TWO, lines));
    const bool on = std::string(safe) == "true";
    EXPECT_EQ(shortest_exact_mate(lines) == 2, on) << safe << joined(lines);
    if (on) {
      EXPECT_EQ(lines.back().substr(0, 13), "bestmove h7h6") << lines.back();
    }
  }
}

}  // namespace
