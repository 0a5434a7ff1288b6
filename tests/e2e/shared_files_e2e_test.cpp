// Book and learning files travel between the builds (Linux, 64-bit and 32-bit
// Windows): the files in tests/data/shared were written by one of them, and
// every build must write the same bytes from the same input and read those
// files as its own.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "engine_process.h"
#include "tool_run.h"

namespace {

const std::string SHARED_DIR = std::string(TEST_DATA_DIR) + "/shared/";

std::string shared_bytes(const std::string& name) { return file_bytes(SHARED_DIR + name); }

void put_shared(const EngineProcess& engine, const std::string& name) {
  std::ofstream(engine.workdir() + "/" + name, std::ios::binary) << shared_bytes(name);
}

std::string workdir_bytes(const EngineProcess& engine, const std::string& name) {
  return file_bytes(engine.workdir() + "/" + name);
}

// One search thread whatever the suite runs with: the records must not
// depend on which thread found what.
void ready(EngineProcess& engine, const std::vector<std::string>& options) {
  engine.send_line("setoption name Threads value 1");
  for (const std::string& option : options) engine.send_line("setoption name " + option);
  engine.send_line("isready");
  ASSERT_EQ(engine.read_line(), "readyok");
}

std::string bestmove_after(EngineProcess& engine, const std::string& moves, int depth) {
  engine.send_line("position startpos" + (moves.empty() ? "" : " moves " + moves));
  engine.send_line("go depth " + std::to_string(depth));
  const auto lines = engine.read_until("bestmove", 60000);
  return lines.empty() ? "" : lines.back();
}

// The openings whose depth-5 searches make up the shared learning file.
const std::vector<std::string> LEARNED_OPENINGS = {"e2e4", "d2d4", "g1f3", "c2c4", "e2e4 e7e5", "e2e4 c7c5 g1f3"};

class SharedBook : public ToolRun {};

TEST_F(SharedBook, MakeBookWritesTheSharedPairByteForByte) {
  run_tool(MAKE_BOOK_PATH, "--out " + dir_ + "/QVbook " + SHARED_DIR + "games.pgn");
  ASSERT_EQ(status_, 0) << read_text("stderr.txt");
  for (const char* name : {"QVbook.ind", "QVbook.dat"}) {
    const std::string expected = shared_bytes(name);
    ASSERT_FALSE(expected.empty()) << name;
    EXPECT_EQ(read_file(name), expected) << name;
  }
}

struct BookAnswer {
  const char* moves;     // played from the start position
  const char* bestmove;  // what the shared book answers there
};

void PrintTo(const BookAnswer& c, std::ostream* os) { *os << '"' << c.moves << '"'; }

class SharedBookAnswers : public testing::TestWithParam<BookAnswer> {};

// Positions where the book's games played one move only, so that the random
// draw among candidates cannot change the answer; White and Black to move.
TEST_P(SharedBookAnswers, EveryBuildPlaysFromTheSharedPair) {
  EngineProcess engine;
  put_shared(engine, "QVbook.ind");
  put_shared(engine, "QVbook.dat");
  ready(engine, {"Use_Engine_Book value true"});
  EXPECT_EQ(bestmove_after(engine, GetParam().moves, 3), GetParam().bestmove);
}

INSTANTIATE_TEST_SUITE_P(SharedFiles, SharedBookAnswers,
                         testing::Values(BookAnswer{"e2e4 e7e5 g1f3", "bestmove b8c6"},
                                         BookAnswer{"d2d4 d7d5", "bestmove c2c4"},
                                         BookAnswer{"e2e4 c7c5 g1f3 d7d6", "bestmove d2d4"},
                                         BookAnswer{"c2c4 e7e5 b1c3 g8f6 g2g3 d7d5 c4d5 f6d5 f1g2 d5b6 g1f3",
                                                    "bestmove b8c6"}));

TEST(SharedLearningFile, EveryBuildWritesTheSharedRecords) {
  EngineProcess engine;
  ready(engine, {"Learn value true"});
  for (const std::string& moves : LEARNED_OPENINGS) ASSERT_NE(bestmove_after(engine, moves, 5), "") << moves;
  engine.send_line("quit");
  ASSERT_EQ(engine.wait_exit(), 0);
  const std::string expected = shared_bytes("KORWEN.LRN");
  ASSERT_EQ(expected.size(), 16 * (LEARNED_OPENINGS.size() + 1));
  EXPECT_EQ(workdir_bytes(engine, "KORWEN.LRN"), expected);
}

// The shared file's records are found by position: searching them again
// adds nothing, and a new position goes after them, counted in the header.
TEST(SharedLearningFile, EveryBuildCarriesOnTheSharedFile) {
  EngineProcess engine;
  put_shared(engine, "KORWEN.LRN");
  ready(engine, {"Learn value true"});
  for (const std::string& moves : LEARNED_OPENINGS) ASSERT_NE(bestmove_after(engine, moves, 5), "") << moves;
  const std::string shared = shared_bytes("KORWEN.LRN");
  EXPECT_EQ(workdir_bytes(engine, "KORWEN.LRN"), shared);

  ASSERT_NE(bestmove_after(engine, "b1c3", 5), "");
  const std::string bytes = workdir_bytes(engine, "KORWEN.LRN");
  ASSERT_EQ(bytes.size(), shared.size() + 16);
  EXPECT_EQ(static_cast<unsigned char>(bytes[0]), LEARNED_OPENINGS.size() + 2);
  EXPECT_EQ(bytes.substr(1, 15), shared.substr(1, 15));
  EXPECT_EQ(bytes.substr(16, shared.size() - 16), shared.substr(16));
}

}  // namespace
