// Obey_Limits: go movetime, go nodes and the clock end a search by itself,
// as scripts and tournament managers expect; without the option they do not.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "engine_process.h"
#include "mate_claims.h"
#include "set_up.h"

namespace {

constexpr const char* START = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";
constexpr const char* HARD_MATE_IN_15 = "2r5/8/b7/8/2p2Q2/3p3p/5p2/4bK1k w - - 0 1";

bool starts_with(const std::string& s, const std::string& prefix) { return s.rfind(prefix, 0) == 0; }

// The node count of the last info line that gives one; -1 for none.
long long last_nodes(const std::vector<std::string>& lines) {
  long long nodes = -1;
  for (const std::string& line : lines) {
    const size_t at = line.find(" nodes ");
    if (starts_with(line, "info ") && at != std::string::npos) nodes = std::atoll(line.c_str() + at + 7);
  }
  return nodes;
}

TEST(Limits, EachLimitEndsTheSearchByItself) {
  struct Case {
    const char* fen;
    const char* go;
  };
  const Case cases[] = {
      {START, "go movetime 300"},
      {START, "go wtime 3000 btime 3000 winc 0 binc 0"},
      {START, "go wtime 60000 btime 60000 movestogo 40 movetime 200"},
      {START, "go nodes 100000"},
      {HARD_MATE_IN_15, "go mate 15 movetime 300"},
      {HARD_MATE_IN_15, "go mate 15 nodes 300000"},
  };
  for (const char* threads : {"1", "2"}) {
    for (const Case& c : cases) {
      EngineProcess engine;
      start(engine, {"Obey_Limits value true", std::string("Threads value ") + threads}, c.fen);
      engine.send_line(c.go);
      const std::vector<std::string> lines = engine.read_until("bestmove", 20000);
      ASSERT_FALSE(lines.empty()) << c.go;
      EXPECT_TRUE(starts_with(lines.back(), "bestmove ")) << c.go << joined(lines);
      EXPECT_NE(lines.back(), "bestmove 0000") << c.go;
      EXPECT_TRUE(false_claims(c.fen, lines).empty()) << c.go << joined(false_claims(c.fen, lines));
    }
  }
}

TEST(Limits, ANodeLimitIsKeptToWithinAPoll) {
  EngineProcess engine;
  start(engine, {"Obey_Limits value true"}, START);
  engine.send_line("go nodes 100000");
  const std::vector<std::string> lines = engine.read_until("bestmove", 20000);
  const long long nodes = last_nodes(lines);
  EXPECT_GE(nodes, 100000) << joined(lines);
  EXPECT_LE(nodes, 200000) << joined(lines);
}

// Whether the search runs on past the limits of `go`: a currmove line,
// shown once a search is older than a second, comes before any bestmove.
void expect_still_searching(EngineProcess& engine, const std::string& go) {
  const std::vector<std::string> lines = engine.read_until("info currmove ", 20000);
  ASSERT_FALSE(lines.empty()) << go;
  EXPECT_TRUE(starts_with(lines.back(), "info currmove ")) << go << joined(lines);
  engine.send_line("stop");
  const std::vector<std::string> rest = engine.read_until("bestmove", 10000);
  ASSERT_FALSE(rest.empty()) << go;
  EXPECT_TRUE(starts_with(rest.back(), "bestmove ")) << go;
}

// Off, the limits are accepted and the search waits for stop.
TEST(Limits, WithoutTheOptionOnlyStopEndsTheSearch) {
  for (const char* go : {"go movetime 200", "go nodes 1000", "go wtime 300 btime 300"}) {
    EngineProcess engine;
    start(engine, {}, START);
    engine.send_line(go);
    expect_still_searching(engine, go);
  }
}

// Under go infinite and go ponder, UCI wants bestmove only after stop or
// ponderhit, whatever else the line says.
TEST(Limits, InfiniteAndPonderStillWaitForTheGui) {
  for (const char* go : {"go infinite movetime 200", "go ponder wtime 300 btime 300"}) {
    EngineProcess engine;
    start(engine, {"Obey_Limits value true"}, START);
    engine.send_line(go);
    expect_still_searching(engine, go);
  }
}

}  // namespace
