// Building the opening book from PGN: reading SAN on the engine's board,
// splitting PGN text into games, replaying games, and the written bytes.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "board.h"
#include "board/position_check.h"
#include "board_fixture.h"
#include "tools/book_replay.h"
#include "tools/book_table.h"
#include "tools/pgn_reader.h"
#include "tools/san.h"
#include "tools/scratch_dir.h"

namespace {

constexpr const char* START = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

// ---------------------------------------------------------------- SAN

struct SanCase {
  const char* fen;
  const char* san;
  int verdict;
  const char* move;  // coordinate text when found
};

class SanTest : public BoardTest {};

TEST_F(SanTest, ReadsMovesOnTheBoard) {
  const char* after_bc4 = "r1bqkbnr/pppp1ppp/2n5/4p3/2B1P3/8/PPPP1PPP/RNBQK1NR w KQkq - 2 3";
  const char* scholar = "r1bqkb1r/pppp1ppp/2n2n2/4p2Q/2B1P3/8/PPPP1PPP/RNB1K1NR w KQkq - 4 4";
  const char* castles = "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1";
  const char* castles_black = "r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1";
  const char* promotes = "3r3k/4P3/8/8/8/8/8/K7 w - - 0 1";
  const char* knights = "rnbqkbnr/pppppppp/8/8/8/5N2/PPP1PPPP/RNBQKB1R w KQkq - 0 1";
  const char* rooks = "7k/8/8/4R3/8/8/8/K3R3 w - - 0 1";
  const char* queens = "1k6/8/8/8/4Q2Q/8/8/K6Q w - - 0 1";
  const char* pinned = "4k3/4r3/8/8/8/8/4N3/1N2K3 w - - 0 1";
  const SanCase cases[] = {
      {START, "e4", SAN_FOUND, "e2e4"},
      {START, "Nf3", SAN_FOUND, "g1f3"},
      {START, "Nf3!", SAN_FOUND, "g1f3"},
      {START, "e4!!", SAN_FOUND, "e2e4"},
      {START, "Nc3?", SAN_FOUND, "b1c3"},
      {START, "d4?!", SAN_FOUND, "d2d4"},
      {START, "b3??", SAN_FOUND, "b2b3"},
      {"rnbqkbnr/ppp1pppp/8/3p4/4P3/8/PPPP1PPP/RNBQKBNR w KQkq d6 0 2", "exd5", SAN_FOUND, "e4d5"},
      {after_bc4, "Bxf7+", SAN_FOUND, "c4f7"},
      {scholar, "Qxf7#", SAN_FOUND, "h5f7"},
      {scholar, "Qxf7", SAN_FOUND, "h5f7"},
      {castles, "O-O", SAN_FOUND, "e1g1"},
      {castles, "O-O-O", SAN_FOUND, "e1c1"},
      {castles, "0-0+", SAN_FOUND, "e1g1"},
      {castles_black, "O-O", SAN_FOUND, "e8g8"},
      {castles_black, "0-0-0", SAN_FOUND, "e8c8"},
      {promotes, "e8=Q+", SAN_FOUND, "e7e8q"},
      {promotes, "e8Q", SAN_FOUND, "e7e8q"},
      {promotes, "e8=r", SAN_FOUND, "e7e8r"},
      {promotes, "exd8=N", SAN_FOUND, "e7d8n"},
      {promotes, "exd8B", SAN_FOUND, "e7d8b"},
      {"k7/8/8/8/8/8/p7/7K b - - 0 1", "a1=R+", SAN_FOUND, "a2a1r"},
      {knights, "Nbd2", SAN_FOUND, "b1d2"},
      {knights, "Nfd2", SAN_FOUND, "f3d2"},
      {rooks, "R1e2", SAN_FOUND, "e1e2"},
      {rooks, "R5e2", SAN_FOUND, "e5e2"},
      {queens, "Qh4e1", SAN_FOUND, "h4e1"},
      {queens, "Qh4xe1", SAN_FOUND, "h4e1"},
      {queens, "Q1e1", SAN_FOUND, "h1e1"},
      {queens, "Qee1", SAN_FOUND, "e4e1"},
      // Only legal moves take part in disambiguation.
      {pinned, "Nc3", SAN_FOUND, "b1c3"},
      {knights, "Nd2", SAN_AMBIGUOUS, ""},
      {rooks, "Ree2", SAN_AMBIGUOUS, ""},
      {queens, "Qhe1", SAN_AMBIGUOUS, ""},
      {queens, "Q4e1", SAN_AMBIGUOUS, ""},
      {START, "e5", SAN_ILLEGAL, ""},
      {START, "O-O", SAN_ILLEGAL, ""},
      {START, "Ke2", SAN_ILLEGAL, ""},
      {pinned, "Nec3", SAN_ILLEGAL, ""},
      {promotes, "e8", SAN_ILLEGAL, ""},  // a promotion must name its piece
      {START, "Nf3=Q", SAN_UNREADABLE, ""},
      {promotes, "e8=K", SAN_UNREADABLE, ""},
      {START, "Zz4", SAN_UNREADABLE, ""},
      {START, "e9", SAN_UNREADABLE, ""},
      {START, "N4bd2", SAN_UNREADABLE, ""},
      {START, "--", SAN_UNREADABLE, ""},
      {START, "+", SAN_UNREADABLE, ""},
  };
  for (const SanCase& c : cases) {
    set_fen(c.fen);
    const uint32_t lock = hash_lock;
    Move move{};
    EXPECT_EQ(find_san_move(side_to_move, c.san, &move), c.verdict) << c.fen << " " << c.san;
    if (c.verdict == SAN_FOUND) {
      EXPECT_EQ(text_of(move), c.move) << c.fen << " " << c.san;
    }
    EXPECT_EQ(hash_lock, lock) << c.san;
    EXPECT_EQ(position_inconsistency(), nullptr) << c.san;
  }
}

// ---------------------------------------------------------------- PGN

std::vector<PgnGame*> games_of(const char* text) {
  static PgnGame slots[4];
  std::vector<PgnGame*> out;
  PgnInput input;
  pgn_open_text(&input, text);
  while (out.size() < 4 && read_pgn_game(&input, &slots[out.size()])) out.push_back(&slots[out.size()]);
  return out;
}

std::string moves_of(const PgnGame& game) {
  std::string out;
  for (int i = 0; i < game.move_count; i++) {
    if (i > 0) out += ' ';
    out += game.moves[i];
  }
  return out;
}

TEST(PgnReader, DropsCommentsNagsVariationsAndNumbers) {
  const char* text =
      "[Event \"Club \\\"open\\\" [round 2]\"]\n"
      "[White \"A\"]\n[Black \"B\"]\n[Result \"1-0\"]\n[WhiteElo \"2450\"]\n[BlackElo \"?\"]\n\n"
      "1. e4 {best by test (so they say)} e5 2.Nf3 $1 Nc6 $14\n"
      "3. Bb5 (3. Bc4 Bc5 (3... Nf6 {two knights ) }) 4. c3) 3... a6 ; the main line (\n"
      "4. Ba4 ! Nf6 !? 5. O-O 12...Be7 1-0\n";
  const auto games = games_of(text);
  ASSERT_EQ(games.size(), 1u);
  EXPECT_EQ(moves_of(*games[0]), "e4 e5 Nf3 Nc6 Bb5 a6 Ba4 Nf6 O-O Be7");
  EXPECT_EQ(games[0]->result, RESULT_WHITE);
  EXPECT_EQ(games[0]->white_elo, 2450);
  EXPECT_EQ(games[0]->black_elo, -1);
  EXPECT_FALSE(games[0]->has_fen);
}

TEST(PgnReader, SplitsGamesAndReadsResults) {
  const char* text =
      "[Result \"0-1\"]\n1. f3 e5 2. g4 Qh4# 0-1\n"
      "1. d4 d5 1/2-1/2\n"
      "[Result \"*\"]\n1. c4 *\n"
      "[SetUp \"1\"]\n[FEN \"4k3/8/8/8/8/8/4P3/4K3 w - - 0 1\"]\n1. e4 Kd7\n";
  const auto games = games_of(text);
  ASSERT_EQ(games.size(), 4u);
  EXPECT_EQ(games[0]->result, RESULT_BLACK);
  EXPECT_EQ(moves_of(*games[0]), "f3 e5 g4 Qh4#");
  EXPECT_EQ(games[1]->result, RESULT_DRAW);
  EXPECT_EQ(games[1]->white_elo, -1);
  EXPECT_EQ(games[2]->result, RESULT_NONE);
  EXPECT_EQ(moves_of(*games[2]), "c4");
  // A game cut off before its result still ends at the end of input.
  EXPECT_TRUE(games[3]->setup_flag);
  EXPECT_STREQ(games[3]->fen, "4k3/8/8/8/8/8/4P3/4K3 w - - 0 1");
  EXPECT_EQ(moves_of(*games[3]), "e4 Kd7");
  EXPECT_EQ(games[3]->result, RESULT_NONE);
}

TEST(PgnReader, MissingResultTokenEndsAtTheNextTags) {
  const auto games = games_of("[Result \"1-0\"]\n1. e4 e5\n\n[Result \"0-1\"]\n1. d4 Nf6 0-1\n");
  ASSERT_EQ(games.size(), 2u);
  EXPECT_EQ(moves_of(*games[0]), "e4 e5");
  EXPECT_EQ(games[0]->result, RESULT_WHITE);
  EXPECT_EQ(moves_of(*games[1]), "d4 Nf6");
  EXPECT_EQ(games[1]->result, RESULT_BLACK);
  EXPECT_TRUE(games_of("  \n{only a comment}\n").empty());
}

// ---------------------------------------------------------------- replay and files

class BookBuildTest : public BoardTest {
 protected:
  void SetUp() override {
    BoardTest::SetUp();
    book_table_clear();
    dir_ = make_scratch_dir("make_book_test_");
    ASSERT_FALSE(dir_.empty());
  }
  void TearDown() override {
    std::filesystem::remove_all(dir_);
    new_game();
  }

  // Adds every game of `text`; the reports are collected in report_.
  int add_games(const char* text, int plies = BOOK_DEFAULT_PLIES) {
    std::FILE* report = std::tmpfile();
    PgnInput input;
    pgn_open_text(&input, text);
    static PgnGame game;
    int counted = 0;
    long number = 0;
    while (read_pgn_game(&input, &game)) counted += add_game_to_book(game, plies, "t.pgn", ++number, report);
    std::rewind(report);
    report_.clear();
    for (int c = std::fgetc(report); c != EOF; c = std::fgetc(report)) report_ += static_cast<char>(c);
    std::fclose(report);
    return counted;
  }

  // hash_lock after playing `sans` from the start position.
  static uint32_t key_after(const std::vector<const char*>& sans) {
    new_game();
    uint8_t side = WHITE;
    for (const char* san : sans) {
      Move move;
      EXPECT_EQ(find_san_move(side, san, &move), SAN_FOUND) << san;
      make_move(side, move);
      side ^= 1;
    }
    const uint32_t key = hash_lock;
    new_game();
    return key;
  }

  std::string bytes(const char* name) const {
    std::ifstream in(dir_ + "/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  std::string dir_;
  std::string report_;
};

void put(std::string* out, uint32_t value, int width) {
  for (int i = 0; i < width; i++) out->push_back(static_cast<char>((value >> (8 * i)) & 0xff));
}

struct Expected {
  uint32_t key;
  uint32_t white, black, draws;
  uint16_t white_elo, black_elo, side;
};

std::string data_bytes(const std::vector<Expected>& records) {
  std::string out;
  for (const Expected& r : records) {
    put(&out, r.key, 4);
    put(&out, r.white, 4);
    put(&out, r.black, 4);
    put(&out, r.draws, 4);
    put(&out, r.white_elo, 2);
    put(&out, r.black_elo, 2);
    put(&out, r.side, 2);
    put(&out, 0, 2);
  }
  return out;
}

// Index bytes for records in data-file order.
std::string index_bytes(const std::vector<Expected>& records) {
  std::vector<int> order(records.size());
  for (size_t i = 0; i < order.size(); i++) order[i] = static_cast<int>(i);
  std::sort(order.begin(), order.end(), [&](int a, int b) { return records[a].key < records[b].key; });
  std::string out;
  for (int i : order) {
    put(&out, records[i].key, 4);
    put(&out, static_cast<uint32_t>(i), 4);
  }
  return out;
}

constexpr const char* TINY =
    "[Result \"1-0\"]\n[WhiteElo \"2500\"]\n[BlackElo \"2300\"]\n1. e4 e5 2. Nf3 1-0\n"
    "[Result \"1/2-1/2\"]\n1. e4 c5 1/2-1/2\n"
    "[Result \"0-1\"]\n[WhiteElo \"70000\"]\n[BlackElo \"2301\"]\n1. e4 e5 0-1\n"
    "[Result \"*\"]\n1. d4 *\n";

TEST_F(BookBuildTest, WritesSortedIndexAndRecordsOfTheFirstPlies) {
  EXPECT_EQ(add_games(TINY, 2), 6);
  EXPECT_EQ(report_, "");
  const std::vector<Expected> records = {
      // 70000 is clamped to 65535; a missing Elo counts 2000; averages round.
      {key_after({"e4"}), 1, 1, 1, 23345, 2200, BLACK},
      {key_after({"e4", "e5"}), 1, 1, 0, 34018, 2301, WHITE},
      {key_after({"e4", "c5"}), 0, 0, 1, 2000, 2000, WHITE},
  };
  ASSERT_EQ(write_book((dir_ + "/QVbook").c_str(), 1), 3);
  EXPECT_EQ(bytes("QVbook.dat"), data_bytes(records));
  EXPECT_EQ(bytes("QVbook.ind"), index_bytes(records));
}

TEST_F(BookBuildTest, PositionsOfTooFewGamesAreLeftOut) {
  add_games(TINY, 2);
  const std::vector<Expected> records = {
      {key_after({"e4"}), 1, 1, 1, 23345, 2200, BLACK},
      {key_after({"e4", "e5"}), 1, 1, 0, 34018, 2301, WHITE},
  };
  ASSERT_EQ(write_book((dir_ + "/b").c_str(), 2), 2);
  EXPECT_EQ(bytes("b.dat"), data_bytes(records));
  EXPECT_EQ(bytes("b.ind"), index_bytes(records));
  EXPECT_EQ(write_book((dir_ + "/none").c_str(), 4), 0);
  EXPECT_EQ(bytes("none.ind"), "");
}

TEST_F(BookBuildTest, IllegalMoveIsReportedAndEndsOnlyItsGame) {
  const char* text =
      "[Result \"1-0\"]\n1. e4 e5 2. Nf3 Nc6 1-0\n"
      "[Result \"0-1\"]\n1. e4 e5 2. Ke3 Nc6 3. Nf3 0-1\n"
      "[Result \"1-0\"]\n1. d4 d5 2. Nf3 Nf6 1-0\n";
  EXPECT_EQ(add_games(text), 4 + 2 + 4);
  EXPECT_EQ(report_, "t.pgn: game 2: illegal move \"Ke3\" at ply 3; rest of the game skipped\n");
  ASSERT_EQ(write_book((dir_ + "/b").c_str(), 2), 2);  // the positions after e4 and after e4 e5 hold both games
  const std::vector<Expected> records = {
      {key_after({"e4"}), 1, 1, 0, 2000, 2000, BLACK},
      {key_after({"e4", "e5"}), 1, 1, 0, 2000, 2000, WHITE},
  };
  EXPECT_EQ(bytes("b.dat"), data_bytes(records));
  EXPECT_EQ(position_inconsistency(), nullptr);
}

TEST_F(BookBuildTest, AGameCountsOncePerPositionItRepeats) {
  EXPECT_EQ(add_games("[Result \"1-0\"]\n1. Nf3 Nf6 2. Ng1 Ng8 3. Nf3 Nf6 4. Nc3 1-0\n"), 5);
  ASSERT_EQ(write_book((dir_ + "/b").c_str(), 1), 5);
  const std::string data = bytes("b.dat");
  for (int r = 0; r < 5; r++) EXPECT_EQ(data.substr(24 * r + 4, 12), std::string("\1\0\0\0\0\0\0\0\0\0\0\0", 12));
}

TEST_F(BookBuildTest, SameMenWithTheOtherSideToMoveKeepTheMajority) {
  // The moves e3 e5 e4 set up the men of e4 e5, with Black to move.
  ASSERT_EQ(key_after({"e3", "e5", "e4"}), key_after({"e4", "e5"}));
  const char* text =
      "[Result \"0-1\"]\n1. e3 e5 2. e4 0-1\n"
      "[Result \"1-0\"]\n1. e4 e5 1-0\n"
      "[Result \"1-0\"]\n1. e4 e5 1-0\n";
  add_games(text, 3);
  write_book((dir_ + "/b").c_str(), 1);
  const std::string data = bytes("b.dat");
  const uint32_t shared = key_after({"e4", "e5"});
  int found = 0;
  for (size_t r = 0; r + 24 <= data.size(); r += 24) {
    std::string key;
    put(&key, shared, 4);
    if (data.substr(r, 4) != key) continue;
    found++;
    // Only the games with White to move: the other game would mislead.
    EXPECT_EQ(data.substr(r + 4, 12), std::string("\2\0\0\0\0\0\0\0\0\0\0\0", 12));
    EXPECT_EQ(data.substr(r + 20, 2), std::string("\0\0", 2));
  }
  EXPECT_EQ(found, 1);
}

TEST_F(BookBuildTest, GamesFromAPositionAndRefusedPositions) {
  const char* text =
      "[Result \"1/2-1/2\"]\n[SetUp \"1\"]\n[FEN \"4k3/8/8/8/8/8/4P3/4K3 b - - 0 1\"]\n1... Kd7 2. e4 1/2-1/2\n"
      "[Result \"1-0\"]\n[SetUp \"1\"]\n[FEN \"8/8/8/8/8/8/4P3/4K3 w - - 0 1\"]\n1. e4 1-0\n"
      "[Result \"1-0\"]\n[SetUp \"1\"]\n1. e4 1-0\n"
      "[Result \"*\"]\n1. e4 Ke7 *\n";
  EXPECT_EQ(add_games(text), 2);
  EXPECT_EQ(report_,
            "t.pgn: game 2: position \"8/8/8/8/8/8/4P3/4K3 w - - 0 1\" refused; game skipped\n"
            "t.pgn: game 3: SetUp without a FEN tag; game skipped\n");
  ASSERT_EQ(write_book((dir_ + "/b").c_str(), 1), 2);
  const std::string data = bytes("b.dat");
  EXPECT_EQ(data.substr(20, 2), std::string("\0\0", 2));  // after 1... Kd7 White is to move
  EXPECT_EQ(data.substr(44, 2), std::string("\1\0", 2));
}

TEST_F(BookBuildTest, EveryGameStartsFromItsOwnStartPosition) {
  const uint32_t start_lock = hash_lock;
  // A game from a FEN, a game cut short by a bad move, then ordinary games.
  const char* text =
      "[Result \"1-0\"]\n[FEN \"4k3/8/8/8/8/8/4P3/4K3 w - - 0 1\"]\n1. e4 1-0\n"
      "[Result \"1-0\"]\n1. e4 d5 2. exd5 Qxd5 3. Qe5 1-0\n"
      "[Result \"1-0\"]\n1. d4 1-0\n"
      "[Result \"0-1\"]\n1. e4 d5 2. exd5 1-0\n";
  add_games(text);
  EXPECT_EQ(hash_lock, start_lock);
  EXPECT_EQ(position_inconsistency(), nullptr);
  ASSERT_EQ(write_book((dir_ + "/b").c_str(), 2), 3);
  const std::string index = bytes("b.ind");
  for (const uint32_t key : {key_after({"e4"}), key_after({"e4", "d5"}), key_after({"e4", "d5", "exd5"})}) {
    std::string wanted;
    put(&wanted, key, 4);
    bool found = false;
    for (size_t e = 0; e + 8 <= index.size(); e += 8) found = found || index.substr(e, 4) == wanted;
    EXPECT_TRUE(found) << key;
  }
}

}  // namespace
