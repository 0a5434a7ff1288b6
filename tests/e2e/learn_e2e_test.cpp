// Learning over the pipes: a finished search in the opening leaves its
// record in the working directory's file, next to every record already
// there, whoever wrote it.
#include <gtest/gtest.h>


#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "board.h"
#include "board/notation.h"
#include "engine_process.h"
#include "protocol/command_loop.h"
#include "protocol/game_setup.h"

namespace {

uint32_t le(const std::string& bytes, size_t at, int width) {
  uint32_t value = 0;
  for (int i = width - 1; i >= 0; i--) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

std::string le_bytes(uint32_t value, int width) {
  std::string out;
  for (int i = 0; i < width; i++) out += static_cast<char>(value >> (8 * i));
  return out;
}

int square_of(const std::string& text, size_t at) { return (text[at + 1] - '1') * 8 + (text[at] - 'a'); }

// The move field a record holds for the move of a `bestmove` line.
uint32_t move_field(const std::string& bestmove) {
  return static_cast<uint32_t>(square_of(bestmove, 9) << 6 | square_of(bestmove, 11));
}

std::string learn_file_of(const EngineProcess& engine) {
  std::ifstream file(engine.workdir() + "/KORWEN.LRN", std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

void start_learning(EngineProcess& engine) {
  engine.send_line("setoption name Learn value true");
  engine.send_line("isready");
  ASSERT_EQ(engine.read_line(), "readyok");
}

// A depth-5 search after the given opening moves; its `bestmove` line.
std::string search_after(EngineProcess& engine, const std::string& moves) {
  engine.send_line("position startpos moves " + moves);
  engine.send_line("go depth 5");
  const auto lines = engine.read_until("bestmove", 60000);
  if (lines.empty() || lines.back().rfind("bestmove ", 0) != 0 || lines.back().size() < 13) return "";
  return lines.back();
}

// A made-up entry for White to move that no searched position matches.
std::string foreign_entry(uint32_t n) {
  return le_bytes(0xBEEF0000u + n, 4) + le_bytes(n, 4) + le_bytes(12, 2) + "\x01\x06" + std::string(2, '\0') +
         le_bytes(n, 2);
}

TEST(LearnE2e, SearchAfterOpeningMoveIsRecorded) {
  EngineProcess engine;
  start_learning(engine);
  const std::string last = search_after(engine, "e2e4");
  ASSERT_NE(last, "");
  engine.send_line("quit");
  EXPECT_EQ(engine.wait_exit(), 0);

  const std::string bytes = learn_file_of(engine);
  ASSERT_EQ(bytes.size(), 32u);
  EXPECT_EQ(le(bytes, 0, 4), 2u);
  EXPECT_EQ(le(bytes, 26, 1), 1u);   // exact
  EXPECT_EQ(le(bytes, 27, 1), 5u);   // the last iteration
  EXPECT_EQ(le(bytes, 28, 1), 1u);   // Black to move
  EXPECT_EQ(le(bytes, 30, 2), move_field(last));
}

// An engine-against-engine match: both engines learn into one file, each
// appending while the other holds it open.
TEST(LearnE2e, TwoEnginesSharingTheFileKeepEveryEntry) {
  EngineProcess first;
  start_learning(first);
  EngineProcess second({}, first.workdir());
  start_learning(second);

  std::vector<std::string> answers;
  for (const char* moves : {"e2e4", "d2d4", "g1f3", "c2c4"}) {
    EngineProcess& engine = answers.size() % 2 == 0 ? first : second;
    answers.push_back(search_after(engine, moves));
    ASSERT_NE(answers.back(), "") << moves;
  }

  const std::string bytes = learn_file_of(first);
  ASSERT_EQ(bytes.size(), 16u * (answers.size() + 1));
  EXPECT_EQ(le(bytes, 0, 4), answers.size() + 1);
  for (size_t i = 0; i < answers.size(); i++) {
    const size_t at = 16 * (i + 1);
    EXPECT_EQ(le(bytes, at + 14, 2), move_field(answers[i])) << "record " << i + 1;
    for (size_t j = 0; j < i; j++) EXPECT_NE(le(bytes, at, 4), le(bytes, 16 * (j + 1), 4)) << i << " " << j;
  }
}

struct DamagedFile {
  const char* name;
  uint32_t header_count;
  uint32_t entries;        // whole entries after the header
  size_t partial_bytes;    // a record cut short at the end
  uint32_t new_record;     // where the next append must go
};

void PrintTo(const DamagedFile& c, std::ostream* os) { *os << c.name; }

class LearnDamagedFile : public testing::TestWithParam<DamagedFile> {};

// Records the header does not count are kept; a record cut short is
// replaced, and a count beyond the file never leaves a gap of zeros.
TEST_P(LearnDamagedFile, AppendGoesAfterTheLastWholeRecord) {
  const DamagedFile& c = GetParam();
  EngineProcess engine;
  std::string kept = le_bytes(c.header_count, 4) + std::string(12, '\0');
  for (uint32_t n = 1; n <= c.entries; n++) kept += foreign_entry(n);
  std::ofstream(engine.workdir() + "/KORWEN.LRN", std::ios::binary) << kept + std::string(c.partial_bytes, '\x33');

  start_learning(engine);
  const std::string last = search_after(engine, "e2e4");
  ASSERT_NE(last, "");

  const std::string bytes = learn_file_of(engine);
  ASSERT_EQ(bytes.size(), 16u * (c.new_record + 1));
  EXPECT_EQ(le(bytes, 0, 4), c.new_record + 1);
  EXPECT_EQ(bytes.substr(16, 16 * c.entries), kept.substr(16));
  EXPECT_EQ(le(bytes, 16 * c.new_record + 14, 2), move_field(last));
}

INSTANTIATE_TEST_SUITE_P(
    LearnE2e, LearnDamagedFile,
    testing::Values(DamagedFile{"HeaderUndercounts", 2, 3, 0, 4},
                    DamagedFile{"KilledBeforeTheHeaderWasRaised", 3, 3, 0, 4},
                    DamagedFile{"CutMidRecord", 3, 2, 9, 3},
                    DamagedFile{"HeaderOvercounts", 9, 1, 0, 2}),
    [](const testing::TestParamInfo<DamagedFile>& info) { return info.param.name; });

struct ForgedMate {
  const char* name;
  const char* move;     // White's first move, after which the record stands
  int16_t score;        // for Black to move there: being mated
  bool check_bestmove;  // the forged move is a poor one the search never picks
};

void PrintTo(const ForgedMate& c, std::ostream* os) { *os << c.name; }

class LearnForgedMate : public testing::TestWithParam<ForgedMate> {};

// A learning file is data anyone can edit: a mate it claims must neither be
// shown nor played unless the search proves it.
TEST_P(LearnForgedMate, NeitherShownNorPlayed) {
  const ForgedMate& c = GetParam();
  ensure_engine_ready();
  new_game();
  ASSERT_EQ(enter_move(c.move), 1) << c.move;
  const std::string record = le_bytes(hash_lock, 4) + le_bytes(hash_key, 4) + le_bytes(static_cast<uint16_t>(c.score), 2) +
                             "\x01\x64\x01" + std::string(1, '\0') + le_bytes(62 << 6 | 47, 2);  // exact, depth 100, g8h6
  new_game();

  EngineProcess engine;
  std::ofstream(engine.workdir() + "/KORWEN.LRN", std::ios::binary) << le_bytes(2, 4) + std::string(12, '\0') + record;
  start_learning(engine);
  engine.send_line("position startpos");
  engine.send_line("go depth 5");
  const auto lines = engine.read_until("bestmove", 60000);
  ASSERT_FALSE(lines.empty());
  for (const std::string& line : lines) {
    EXPECT_EQ(line.find("score mate"), std::string::npos) << line;
  }
  ASSERT_EQ(lines.back().rfind("bestmove ", 0), 0u) << lines.back();
  if (c.check_bestmove) {
    EXPECT_NE(lines.back().substr(9, 4), c.move);
  }
}

INSTANTIATE_TEST_SUITE_P(LearnE2e, LearnForgedMate,
                         testing::Values(ForgedMate{"MateInOneAfterE4", "e2e4", -10000, false},
                                         ForgedMate{"MateInOneAfterF3", "f2f3", -10000, true},
                                         ForgedMate{"DistantMateAfterF3", "f2f3", -9800, true}),
                         [](const testing::TestParamInfo<ForgedMate>& info) { return info.param.name; });

}  // namespace
