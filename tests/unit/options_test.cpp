// setoption: table sizes after Hash, clearing, the word and number options,
// silence for what is unknown, and the learning file switch.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "file_bytes.h"
#include "board.h"
#include "driver/learn_file.h"
#include "protocol/command_loop.h"
#include "protocol/options.h"
#include "search/hash_tables.h"
#include "search/proof_table.h"
#include "search/tt.h"
#include "settings.h"
#include "tools/scratch_dir.h"

namespace {

// Marks a slot written, so that a test sees whether it is emptied.
void set_slot_depth(TtSlot& slot, int8_t depth) {
  TtEntry e = tt_read(slot);
  e.depth = depth;
  tt_write(slot, e);
}

std::string run(const std::string& line) {
  testing::internal::CaptureStdout();
  handle_setoption(line.c_str());
  return testing::internal::GetCapturedStdout();
}

class Options : public testing::Test {
 protected:
  void SetUp() override {
    ensure_engine_ready();
    reset_settings();
  }
  void TearDown() override {
    engine_ready = 1;
    if (hash_megabytes != 16 || hash_mask != 0x7FFFF) run("setoption name Hash value 16");
    reset_settings();
  }
  static void reset_settings() {
    matt_in = 15;
    contempt = 0;
    multipv_exact = 1;
    multipv_lines = 1;
    use_engine_book = 0;
    new_ponder = 0;
    chess_knowledge = 1;
    zugzwang_safe = 0;
    mate_solver = 0;
    thread_count = 1;
    obey_limits = 0;
    if (solver_hash_megabytes != SOLVER_HASH_DEFAULT) solver_table_allocate(SOLVER_HASH_DEFAULT);
  }
};

// --- Hash ----------------------------------------------------------------------

struct HashCase {
  int32_t value;
  int32_t megabytes;       // hash_megabytes afterwards
  uint32_t entries;        // per transposition table
  uint32_t score_entries;
};

void PrintTo(const HashCase& c, std::ostream* os) { *os << "Hash " << c.value; }

class HashOption : public Options, public testing::WithParamInterface<HashCase> {};

TEST_P(HashOption, ResizesBothTablesAndTheScoreTableAtOnce) {
  const HashCase& c = GetParam();
  // A slot written before must not survive the resize.
  set_slot_depth(tt_table[WHITE][0], 9);
  EXPECT_EQ(run("setoption name Hash value " + std::to_string(c.value)), "");
  EXPECT_EQ(hash_megabytes, c.megabytes);
  EXPECT_EQ(hash_mask + 1, c.entries);
  EXPECT_EQ(score_table_entries, c.score_entries);
  for (TtSlot* table : tt_table) {
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(tt_read(table[0]).depth, TT_UNWRITTEN);
    EXPECT_EQ(tt_read(table[hash_mask]).depth, TT_UNWRITTEN);  // the last slot is inside the block
  }
  ASSERT_NE(score_table, nullptr);
  EXPECT_EQ(score_table[score_table_entries - 1].bytes[6], 0xFF);
  EXPECT_EQ(score_table[score_table_entries - 1].bytes[7], 0);
}

INSTANTIATE_TEST_SUITE_P(
    Values, HashOption,
    testing::Values(HashCase{16, 16, 524288, 524288}, HashCase{1, 1, 32768, 32768},
                    // Below the announced minimum: 1 MB, not a two-entry table.
                    HashCase{0, 1, 32768, 32768}, HashCase{-5, 1, 32768, 32768},
                    HashCase{195, 195, 4194304, 12976128},
                    HashCase{196, 206, 8388608, 1835008},  // raised by 10
                    HashCase{199, 209, 8388608, 2228224},
                    HashCase{200, 205, 8388608, 1703936},  // raised by 5
                    HashCase{204, 209, 8388608, 2228224},
                    HashCase{205, 205, 8388608, 1703936},
                    HashCase{432, 432, 16777216, 6291456},
                    // Beyond the announced maximum the byte budget would wrap.
                    HashCase{5000, 432, 16777216, 6291456},
                    HashCase{INT_MAX, 432, 16777216, 6291456}));

TEST_F(Options, HashBeforeTheFirstIsreadyOnlyStoresTheValue) {
  TtSlot* const tables[2] = {tt_table[0], tt_table[1]};
  const uint32_t mask = hash_mask;
  set_slot_depth(tt_table[WHITE][5], 7);
  engine_ready = 0;
  for (auto [value, stored] : {std::pair{"200", 205}, {"3", 3}, {"99999999", 432}}) {
    EXPECT_EQ(run(std::string("setoption name Hash value ") + value), "");
    EXPECT_EQ(hash_megabytes, stored) << value;
  }
  engine_ready = 1;
  EXPECT_EQ(tt_table[0], tables[0]);
  EXPECT_EQ(tt_table[1], tables[1]);
  EXPECT_EQ(hash_mask, mask);
  EXPECT_EQ(tt_read(tt_table[WHITE][5]).depth, 7);
}

// --- Clear -----------------------------------------------------------------------

class ClearHashOption : public Options, public testing::WithParamInterface<const char*> {};

TEST_P(ClearHashOption, EmptiesTheTranspositionAuxAndScoreTables) {
  set_slot_depth(tt_table[WHITE][hash_mask], 5);
  tt_write(tt_table[BLACK][17], TtEntry{0xDEADBEEF, 0, 0, 0, 3, 1, 0});
  tt_used = 2;
  aux_table[AUX_TABLE_RECORDS - 1].words[2] = 77;
  score_table[3].bytes[6] = 0;
  score_table[3].bytes[7] = 9;
  EXPECT_EQ(run(GetParam()), "");
  EXPECT_EQ(tt_read(tt_table[WHITE][hash_mask]).depth, TT_UNWRITTEN);
  EXPECT_EQ(tt_read(tt_table[BLACK][17]).depth, TT_UNWRITTEN);
  EXPECT_EQ(tt_read(tt_table[BLACK][17]).lock, 0u);
  EXPECT_EQ(tt_used, 0u);
  EXPECT_EQ(aux_table[AUX_TABLE_RECORDS - 1].words[2], 0u);
  EXPECT_EQ(score_table[3].bytes[6], 0xFF);
  EXPECT_EQ(score_table[3].bytes[7], 0);
}

INSTANTIATE_TEST_SUITE_P(Lines, ClearHashOption,
                         testing::Values("setoption name Clear Hash", "setoption name Clear"));

// --- Info ------------------------------------------------------------------------

TEST_F(Options, InfoSaysHello) {
  EXPECT_EQ(run("setoption name Info"), "info string Hello\n");
  EXPECT_EQ(run("setoption name Info value whatever"), "info string Hello\n");
}

// --- Word and number options -------------------------------------------------------

struct SettingCase {
  const char* prior;  // sent first, or ""
  const char* line;
  std::function<int()> read;
  int expected;
};

std::vector<SettingCase> setting_cases() {
  auto matt = [] { return int{matt_in}; };
  auto exact = [] { return int{multipv_exact}; };
  auto cont = [] { return int{contempt}; };
  auto knowledge = [] { return int{chess_knowledge}; };
  auto book = [] { return int{use_engine_book}; };
  auto ponder = [] { return int{new_ponder}; };
  auto zugzwang = [] { return int{zugzwang_safe}; };
  auto solver = [] { return int{mate_solver}; };
  auto solver_hash = [] { return int{solver_hash_megabytes}; };
  auto threads = [] { return int{thread_count}; };
  auto limits = [] { return int{obey_limits}; };
  return {
      // Kept inside the announced range 1..50.
      {"", "setoption name Matt_in value 300", matt, 50},
      {"", "setoption name Matt_in value 0", matt, 1},
      {"", "setoption name Matt_in value 200", matt, 50},
      {"", "setoption name Matt_in value -4", matt, 1},
      {"", "setoption name Matt_in value 50", matt, 50},
      {"", "setoption name Matt_in value 7", matt, 7},
      {"", "setoption;name;Matt_in;value;9", matt, 9},
      {"", "setoption name Matt_in value x5", matt, 1},  // not a number: 0, raised to 1
      {"", "setoption name Matt_in", matt, 1},  // a missing number reads 0, raised to 1
      {"", "setoption name MultiPV_Search value Exact", exact, 0},  // case matters
      {"", "setoption name MultiPV_Search value exact", exact, 1},
      {"", "setoption name MultiPV_Search", exact, 0},
      {"", "setoption name MultiPV value 4", [] { return int{multipv_lines}; }, 4},
      {"", "setoption name Contempt value 25", cont, 25},
      {"", "setoption name Contempt value -40", cont, -40},
      {"", "setoption name Contempt value 70000", cont, 4464},  // low 16 bits
      {"", "setoption name Use_Engine_Book value true", book, 1},
      {"setoption name Use_Engine_Book value true", "setoption name Use_Engine_Book value True",
       book, 0},
      {"", "setoption name NewPonder value true", ponder, 1},
      {"", "setoption name Zugzwang_Safe value true", zugzwang, 1},
      {"setoption name Zugzwang_Safe value true", "setoption name Zugzwang_Safe value false", zugzwang, 0},
      {"setoption name Zugzwang_Safe value true", "setoption name Zugzwang_Safe value TRUE", zugzwang, 0},
      {"", "setoption name zugzwang_safe value true", zugzwang, 0},
      {"", "setoption name Mate_Solver value true", solver, 1},
      {"setoption name Mate_Solver value true", "setoption name Mate_Solver value false", solver, 0},
      {"setoption name Mate_Solver value true", "setoption name Mate_Solver", solver, 0},
      {"", "setoption name Solver_Hash value 8", solver_hash, 8},
      {"", "setoption name Solver_Hash value 0", solver_hash, 1},
      {"", "setoption name Threads value 4", threads, 4},
      {"", "setoption name Threads value 0", threads, 1},
      {"", "setoption name Threads value 300", threads, 256},
      {"setoption name Threads value 4", "setoption name Threads", threads, 1},
      {"", "setoption name Obey_Limits value true", limits, 1},
      {"setoption name Obey_Limits value true", "setoption name Obey_Limits value false", limits, 0},
      {"setoption name NewPonder value true", "setoption name NewPonder value yes", ponder, 0},
      {"", "setoption name Chess_Knowledge value none", knowledge, 0},
      {"", "setoption name Chess_Knowledge value max", knowledge, 2},
      {"", "setoption name Chess_Knowledge value Max", knowledge, 1},  // other words leave it
      {"setoption name Chess_Knowledge value max", "setoption name Chess_Knowledge", knowledge,
       2},
  };
}

TEST_F(Options, WordAndNumberOptionsSetTheirSetting) {
  for (const SettingCase& c : setting_cases()) {
    reset_settings();
    run(c.prior);
    EXPECT_EQ(run(c.line), "") << c.line;
    EXPECT_EQ(c.read(), c.expected) << c.line;
  }
  chess_knowledge = 2;
  run("setoption name Chess_Knowledge value normal");
  EXPECT_EQ(chess_knowledge, 1);
}

// --- Names that change nothing ---------------------------------------------------------

struct Snapshot {
  int32_t hash_megabytes, new_ponder, multipv_lines, multipv_exact, style, selectivity, extensions,
      combination_search;
  uint32_t hash_mask, score_table_entries;
  uint8_t use_engine_book, learn_enabled, chess_knowledge;
  int8_t matt_in;
  int16_t contempt;
  TtSlot* tables[2];
  bool operator==(const Snapshot&) const = default;
};

Snapshot snapshot() {
  return {hash_megabytes, new_ponder,          multipv_lines,   multipv_exact, style,
          selectivity,    extensions,          combination_search, hash_mask, score_table_entries,
          use_engine_book, learn_enabled,      chess_knowledge, matt_in,       contempt,
          {tt_table[0], tt_table[1]}};
}

TEST_F(Options, UnknownAndInertNamesChangeNothingAndAnswerNothing) {
  matt_in = 12;
  contempt = 5;
  const Snapshot before = snapshot();
  set_slot_depth(tt_table[WHITE][1], 4);
  for (const char* line : {
           "setoption name Style value risky", "setoption name Selectivity value 5",
           "setoption name Extensions value 3", "setoption name Combination_Search value true",
           "setoption name matt_in value 3", "setoption name Matt value 3",
           "setoption name Matt_in_max value 3", "setoption name HASH value 1",
           "setoption name Clearing", "setoption name Information", "setoption name",
           "setoption", "setoption Matt_in value 3", "setoptionname Contempt value 9"}) {
    EXPECT_EQ(run(line), "") << line;
    EXPECT_TRUE(snapshot() == before) << line;
  }
  EXPECT_EQ(tt_read(tt_table[WHITE][1]).depth, 4);
}

// --- Learn ------------------------------------------------------------------------

class LearnOption : public Options {
 protected:
  void SetUp() override {
    Options::SetUp();
    home_ = std::filesystem::current_path();
    dir_ = make_scratch_dir("tervalk_learn_");
    ASSERT_FALSE(dir_.empty());
    std::filesystem::current_path(dir_);
  }
  void TearDown() override {
    run("setoption name Learn value false");
    std::filesystem::current_path(home_);
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
    Options::TearDown();
  }
  static std::string file_bytes() { return ::file_bytes(LEARN_FILE_NAME); }
  std::filesystem::path home_;
  std::string dir_;
};

TEST_F(LearnOption, TrueCreatesAHeaderOfCountOne) {
  learn_count = 0;
  EXPECT_EQ(run("setoption name Learn value true"), "");
  EXPECT_EQ(learn_enabled, 1);
  EXPECT_NE(learn_file, nullptr);
  EXPECT_EQ(learn_count, 1u);
  EXPECT_EQ(file_bytes(), std::string("\x01\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0", 16));
}

TEST_F(LearnOption, AnExistingFileIsKeptWhole) {
  std::string records(48, '\x5A');
  records[0] = 3;
  std::FILE* f = std::fopen(LEARN_FILE_NAME, "wb");
  ASSERT_NE(f, nullptr);
  std::fwrite(records.data(), 1, records.size(), f);
  std::fclose(f);
  run("setoption name Learn value true");
  EXPECT_EQ(learn_enabled, 1);
  EXPECT_EQ(file_bytes(), records);
}

TEST_F(LearnOption, SecondTrueKeepsTheOneHandle) {
  run("setoption name Learn value true");
  std::FILE* const first = learn_file;
  run("setoption name Learn value true");
  EXPECT_EQ(learn_file, first);
  EXPECT_EQ(learn_enabled, 1);
  EXPECT_EQ(file_bytes().size(), 16u);
}

TEST_F(LearnOption, AnyOtherValueClosesAndLearningCanComeBack) {
  for (const char* off : {"setoption name Learn value false", "setoption name Learn value True",
                          "setoption name Learn"}) {
    run("setoption name Learn value true");
    ASSERT_EQ(learn_enabled, 1);
    run(off);
    EXPECT_EQ(learn_enabled, 0) << off;
    EXPECT_EQ(learn_file, nullptr) << off;
  }
  run("setoption name Learn value off");  // already off: nothing to close
  EXPECT_EQ(learn_file, nullptr);
}

TEST_F(LearnOption, AFileThatCannotBeCreatedLeavesLearningOff) {
  ASSERT_TRUE(std::filesystem::create_directory(LEARN_FILE_NAME));  // a directory cannot be opened as the file
  run("setoption name Learn value true");
  EXPECT_EQ(learn_enabled, 0);
  EXPECT_EQ(learn_file, nullptr);
}

}  // namespace
