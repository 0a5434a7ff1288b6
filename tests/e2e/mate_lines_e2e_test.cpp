// The mate lines the engine prints, replayed on the tests' own board: every
// exact claim is a mate of its length with the right promotion pieces, and a
// search stopped half-way claims no more than it has proven.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine_process.h"
#include "mate_claims.h"

namespace {

bool starts_with(const std::string& s, const std::string& prefix) { return s.rfind(prefix, 0) == 0; }

// A fresh engine's output for `go` on `fen`, after the given options.
std::vector<std::string> search(const std::string& fen, const std::string& go,
                                const std::vector<std::string>& options = {}) {
  EngineProcess engine;
  // These tests follow one search's own lines and node counts: one thread,
  // whatever the suite runs with.
  engine.send_line("setoption name Threads value 1");
  for (const std::string& option : options) engine.send_line("setoption name " + option);
  engine.send_line("isready");
  EXPECT_EQ(engine.read_line(), "readyok");
  engine.send_line("position fen " + fen);
  engine.send_line(go);
  return engine.read_until("bestmove", 60000);
}

std::vector<MateClaim> exact_claims(const std::vector<std::string>& lines) {
  std::vector<MateClaim> exact;
  for (const MateClaim& c : mate_claims(lines))
    if (!c.bound) exact.push_back(c);
  return exact;
}

// The node figure of an info line, 0 without one.
long node_figure(const std::string& line) {
  const auto at = line.find(" nodes ");
  return at == std::string::npos ? 0 : std::stol(line.substr(at + 7));
}

constexpr const char* QUEEN_MATES = "k7/2R5/3P3K/8/8/8/8/8 w - - 0 1";  // 1.d7 Kb8 2.d8=Q#, not 2.d8=R

TEST(MateLines, PromotionsShowThePieceTheProofNeeds) {
  struct Case {
    const char* what;
    const char* fen;
    int moves;
    const char* in_every_line;
  };
  const Case cases[] = {
      {"the mating promotion", QUEEN_MATES, 2, " d7d8q"},
      // 1.Rd4: only 1...b1=N+ holds out to the third move.
      {"the defender's underpromotion", "6k1/2R5/8/5P2/5R2/2K5/1p6/8 w - - 0 1", 3, " b2b1n "},
  };
  for (const Case& c : cases) {
    const std::vector<std::string> lines = search(c.fen, "go depth 8");
    EXPECT_TRUE(false_claims(c.fen, lines).empty()) << c.what << joined(false_claims(c.fen, lines));
    const std::vector<MateClaim> exact = exact_claims(lines);
    ASSERT_FALSE(exact.empty()) << c.what;
    for (const MateClaim& claim : exact) {
      EXPECT_EQ(claim.moves, c.moves) << c.what << ": " << claim.pv;
      EXPECT_NE((claim.pv + " ").find(c.in_every_line), std::string::npos) << c.what << ": " << claim.pv;
    }
  }
}

TEST(MateLines, PonderIsTheSecondMoveOfTheLastLine) {
  const std::vector<std::string> lines = search(QUEEN_MATES, "go depth 6");
  const std::vector<MateClaim> exact = exact_claims(lines);
  ASSERT_FALSE(exact.empty());
  const std::string& pv = exact.back().pv;
  EXPECT_EQ(lines.back(), "bestmove " + pv.substr(0, 4) + " ponder " + pv.substr(5, 4));
}

TEST(MateLines, MultiPvLinesReplayToo) {
  const char* two_rooks = "6k1/5ppp/8/8/8/8/8/RR4K1 w - - 0 1";  // Ra8 and Rb8 both mate
  const std::vector<std::string> lines = search(two_rooks, "go depth 4", {"MultiPV value 3"});
  EXPECT_TRUE(false_claims(two_rooks, lines).empty()) << joined(false_claims(two_rooks, lines));
  bool further_mate = false;
  for (const std::string& line : lines)
    further_mate = further_mate || (starts_with(line, "info multipv ") && line.find(" score mate ") != std::string::npos);
  EXPECT_TRUE(further_mate);
}

// A root move whose mate test passes is shown as a lower bound at once; when
// the stop comes before its re-search ends, nothing more is claimed for it,
// though it is still played.
TEST(MateLines, AStopInsideAReSearchLeavesTheBound) {
  const std::vector<std::string> full = search(QUEEN_MATES, "go depth 4");
  long bound_nodes = 0, exact_nodes = 0;
  for (const std::string& line : full) {
    const std::vector<MateClaim> claim = mate_claims({line});
    if (claim.empty()) continue;
    if (claim[0].bound && bound_nodes == 0) bound_nodes = node_figure(line);
    if (!claim[0].bound && bound_nodes != 0) {
      exact_nodes = node_figure(line);
      break;
    }
  }
  ASSERT_GT(bound_nodes, 0);
  ASSERT_GT(exact_nodes, bound_nodes + 8) << "the re-search is too short to stop inside";
  // The info lines count twice the engine's nodes.
  const long stop_at = (bound_nodes + exact_nodes) / 4;

  const std::vector<std::string> stopped =
      search(QUEEN_MATES, "go depth 4", {"Stop_After_Nodes value " + std::to_string(stop_at)});
  EXPECT_TRUE(false_claims(QUEEN_MATES, stopped).empty()) << joined(false_claims(QUEEN_MATES, stopped));
  EXPECT_TRUE(exact_claims(stopped).empty()) << joined(stopped);
  EXPECT_FALSE(mate_claims(stopped).empty()) << joined(stopped);
  EXPECT_EQ(stopped.back(), "bestmove d6d7") << joined(stopped);
}

// quit right behind go stops the first pass: what the root holds then are
// ordering scores, never to be printed as results.
TEST(MateLines, QuitBeforeAnyResultClaimsNothing) {
  EngineProcess engine;
  engine.send("isready\nposition fen k7/8/1K6/8/8/8/8/7R w - - 0 1\ngo depth 3\nquit\n");
  const std::string out = engine.read_all();
  EXPECT_EQ(out.find("score"), std::string::npos) << out;
  EXPECT_NE(out.find("bestmove h1h8"), std::string::npos) << out;
  EXPECT_EQ(engine.wait_exit(), 0);
}

}  // namespace
