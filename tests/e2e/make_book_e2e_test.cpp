// make-book as a user runs it: PGN files in, a book pair out, a summary line.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine_process.h"
#include "tool_run.h"

namespace {

class MakeBookRun : public ToolRun {
 protected:
  std::vector<std::string> run(const std::string& args) { return run_tool(MAKE_BOOK_PATH, args); }
  uintmax_t size_of(const std::string& name) { return std::filesystem::file_size(dir_ + "/" + name); }
};

// Twenty wins for White after 1. e4 e5 2. Nf3 Nc6, ten draws after 1. d4 d5:
// six distinct positions.
std::string thirty_games() {
  std::string pgn;
  for (int i = 0; i < 20; i++)
    pgn += "[Event \"e2e\"]\n[Result \"1-0\"]\n[WhiteElo \"2600\"]\n[BlackElo \"2500\"]\n\n"
           "1. e4 e5 {main} 2. Nf3 Nc6 1-0\n\n";
  for (int i = 0; i < 10; i++) pgn += "[Event \"e2e\"]\n[Result \"1/2-1/2\"]\n\n1. d4 d5 1/2-1/2\n\n";
  return pgn;
}

TEST_F(MakeBookRun, WritesTheBookPairAndSaysWhatWentIn) {
  const std::string pgn = write_file("games.pgn", thirty_games());
  const auto lines = run("--out " + dir_ + "/QVbook " + pgn);
  EXPECT_EQ(status_, 0);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), "30 games, 6 positions written");
  EXPECT_EQ(size_of("QVbook.ind"), 8u * 6);
  EXPECT_EQ(size_of("QVbook.dat"), 24u * 6);
  EXPECT_EQ(read_text("stderr.txt"), "");
}

// The engine reads the book from its working directory at the first isready:
// the first move e4 scored 100 % in twenty games, d4 50 % in ten, so e2e4
// gets all the weight (without the book the engine plays g1f3 here).
TEST_F(MakeBookRun, TheEngineAnswersFromTheBookItWrote) {
  const std::string pgn = write_file("games.pgn", thirty_games());
  EngineProcess engine;
  const auto lines = run("--out " + engine.workdir() + "/QVbook " + pgn);
  ASSERT_EQ(status_, 0);
  engine.send_line("setoption name Use_Engine_Book value true");
  engine.send_line("isready");
  ASSERT_EQ(engine.read_line(), "readyok");
  engine.send_line("position startpos");
  engine.send_line("go depth 3");
  const auto answer = engine.read_until("bestmove", 30000);
  ASSERT_FALSE(answer.empty());
  EXPECT_EQ(answer.back(), "bestmove e2e4");
  engine.send_line("quit");
  EXPECT_EQ(engine.wait_exit(), 0);
}

TEST_F(MakeBookRun, PliesAndMinimumGamesLimitThePositions) {
  const std::string pgn = write_file("games.pgn", thirty_games());
  // One ply: 1. e4 and 1. d4; at least 15 games: 1. e4 alone.
  const auto lines = run("--plies 1 --min-games 15 --out " + dir_ + "/b " + pgn);
  EXPECT_EQ(status_, 0);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), "30 games, 1 positions written");
  const std::string data = read_file("b.dat");
  ASSERT_EQ(data.size(), 24u);
  // 20 White wins, no other results, ratings 2600 and 2500, Black to move.
  EXPECT_EQ(data.substr(4, 20), std::string("\x14\0\0\0\0\0\0\0\0\0\0\0\x28\x0a\xc4\x09\1\0\0\0", 20));
}

TEST_F(MakeBookRun, BadMovesAreReportedAndTheRestIsBuilt) {
  const std::string pgn = write_file("games.pgn",
                                     "[Result \"1-0\"]\n1. e4 e5 2. Nf3 1-0\n"
                                     "[Result \"0-1\"]\n1. e4 e6 2. Bb4 d5 0-1\n"
                                     "[Result \"*\"]\n1. c4 *\n");
  const auto lines = run("--out " + dir_ + "/b " + pgn);
  EXPECT_EQ(status_, 0);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "1 games without a result not counted");
  EXPECT_EQ(lines[1], "2 games, 4 positions written");
  EXPECT_EQ(read_text("stderr.txt"), pgn + ": game 2: illegal move \"Bb4\" at ply 3; rest of the game skipped\n");
}

TEST_F(MakeBookRun, RefusesBadArgumentsAndReportsMissingInput) {
  run("--out " + dir_ + "/b");
  EXPECT_EQ(status_, 1);
  run("--plies 0 --out " + dir_ + "/b x.pgn");
  EXPECT_EQ(status_, 1);
  EXPECT_NE(read_text("stderr.txt").find("usage: make-book"), std::string::npos);

  const std::string pgn = write_file("games.pgn", "[Result \"1-0\"]\n1. e4 1-0\n");
  const auto lines = run("--out " + dir_ + "/b " + dir_ + "/missing.pgn " + pgn);
  EXPECT_EQ(status_, 1);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), "1 games, 1 positions written");
  EXPECT_NE(read_text("stderr.txt").find("cannot open " + dir_ + "/missing.pgn"), std::string::npos);
}

}  // namespace
