// The learning file: which searches are kept, where their records go, how a
// reload fills the table, and damaged files.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "file_bytes.h"
#include "board.h"
#include "driver/learn_file.h"
#include "driver/learn_store.h"
#include "driver/root_search.h"
#include "protocol/command_loop.h"
#include "protocol/game_setup.h"
#include "search/tt.h"
#include "search_control.h"
#include "search_state.h"
#include "settings.h"
#include "tools/scratch_dir.h"

namespace {

constexpr int E2 = 12, E4 = 28;

uint32_t le32(const std::string& bytes, size_t at) {
  uint32_t value = 0;
  for (int i = 3; i >= 0; i--) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

uint16_t le16(const std::string& bytes, size_t at) {
  return static_cast<uint16_t>(static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8);
}

std::string le32_bytes(uint32_t value) {
  std::string bytes;
  for (int i = 0; i < 4; i++) bytes += static_cast<char>(value >> (8 * i));
  return bytes;
}

class Learning : public testing::Test {
 protected:
  void SetUp() override {
    ensure_engine_ready();
    new_game();
    tt_clear();
    home_ = std::filesystem::current_path();
    dir_ = make_scratch_dir("tervalk_lrn_");
    ASSERT_FALSE(dir_.empty());
    std::filesystem::current_path(dir_);
    root_phase = 0;
    game_index = 5;
    first_pass_score = 0;
    iteration_depth = 5;
  }
  void TearDown() override {
    learn_switch_off();
    std::filesystem::current_path(home_);
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
    iteration_depth = 0;
    new_game();
    tt_clear();
  }

  static Move e2e4(int16_t score) { return Move{E2, E4, score, 0}; }

  static std::string file_bytes() { return ::file_bytes(LEARN_FILE_NAME); }
  static void write_file(const std::string& bytes) {
    std::FILE* f = std::fopen(LEARN_FILE_NAME, "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
  // A whole entry in file order: lock, key, score, flags 1, depth, side, spare, move.
  static std::string entry(uint32_t lock, uint32_t key, int16_t score, int8_t depth, uint8_t side, uint16_t move) {
    const char tail[] = {static_cast<char>(score), static_cast<char>(score >> 8), 1, static_cast<char>(depth),
                         static_cast<char>(side), 0, static_cast<char>(move), static_cast<char>(move >> 8)};
    return le32_bytes(lock) + le32_bytes(key) + std::string(tail, sizeof tail);
  }
  static std::string header(uint32_t count) { return le32_bytes(count) + std::string(12, '\0'); }

  std::filesystem::path home_;
  std::string dir_;
};

TEST_F(Learning, QualifyingSearchAppendsOneLittleEndianEntry) {
  learn_switch_on();
  ASSERT_EQ(file_bytes(), header(1));
  iteration_depth = 7;
  learn_store(WHITE, e2e4(-321));

  const std::string bytes = file_bytes();
  ASSERT_EQ(bytes.size(), 32u);
  EXPECT_EQ(le32(bytes, 0), 2u);
  EXPECT_EQ(learn_count, 2u);
  EXPECT_EQ(le32(bytes, 16), hash_lock);
  EXPECT_EQ(le32(bytes, 20), hash_key);
  EXPECT_EQ(static_cast<int16_t>(le16(bytes, 24)), -321);
  EXPECT_EQ(bytes[26], 1);  // exact
  EXPECT_EQ(bytes[27], 7);  // depth
  EXPECT_EQ(bytes[28], 0);  // White to move
  EXPECT_EQ(le16(bytes, 30), E2 << 6 | E4);
}

TEST_F(Learning, SamePositionIsOverwrittenOnlyByADeeperSearch) {
  learn_switch_on();
  iteration_depth = 8;
  learn_store(WHITE, e2e4(50));
  const std::string stored = file_bytes();

  for (int8_t depth : {7, 8}) {
    iteration_depth = depth;
    learn_store(WHITE, e2e4(99));
    EXPECT_EQ(file_bytes(), stored) << int{depth};
  }

  iteration_depth = 9;
  learn_store(WHITE, e2e4(77));
  const std::string bytes = file_bytes();
  ASSERT_EQ(bytes.size(), 32u);
  EXPECT_EQ(le32(bytes, 0), 2u);
  EXPECT_EQ(learn_count, 2u);
  EXPECT_EQ(bytes[27], 9);
  EXPECT_EQ(le16(bytes, 24), 77);
}

struct Gate {
  const char* name;
  int16_t game_index;
  uint8_t root_phase;
  int8_t depth;
  int16_t first_pass;
  int16_t final_score;
  bool written;
};

class LearningGates : public Learning, public testing::WithParamInterface<Gate> {};

TEST_P(LearningGates, OnlyDeepEarlyUnsettledSearchesAreKept) {
  const Gate& gate = GetParam();
  learn_switch_on();
  game_index = gate.game_index;
  root_phase = gate.root_phase;
  iteration_depth = gate.depth;
  first_pass_score = gate.first_pass;
  learn_store(WHITE, e2e4(gate.final_score));
  EXPECT_EQ(file_bytes().size(), gate.written ? 32u : 16u);
  EXPECT_EQ(learn_count, gate.written ? 2u : 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Learning, LearningGates,
    testing::Values(Gate{"Qualifies", 59, 1, 5, 0, 0, true},
                    Gate{"GameMoveSixty", 60, 0, 9, 0, 0, false},
                    Gate{"MiddlegamePhase", 10, 2, 9, 0, 0, false},
                    Gate{"EndgamePhase", 10, 3, 9, 0, 0, false},
                    Gate{"IterationFour", 10, 0, 4, 0, 0, false},
                    Gate{"OpeningStablyLost", 1, 0, 9, -150, -400, false},
                    Gate{"OpeningStablyWon", 0, 0, 9, 200, 400, false},
                    Gate{"OpeningWinGrewTooMuch", 1, 0, 9, 200, 401, true},
                    Gate{"OpeningLossNotYetClear", 1, 0, 9, -149, -400, true},
                    Gate{"OpeningLevel", 1, 0, 9, 0, 0, true},
                    Gate{"StableButPastTheOpening", 2, 0, 9, -150, -400, true}),
    [](const testing::TestParamInfo<Gate>& info) { return info.param.name; });

TEST_F(Learning, SwitchingOnAgainPutsTheEntryInTheTable) {
  learn_switch_on();
  iteration_depth = 11;
  learn_store(WHITE, e2e4(321));
  learn_switch_off();
  tt_clear();

  learn_switch_on();
  ply = 1;
  const TtEntry* slot = tt_probe_slot(WHITE);
  ASSERT_NE(slot, nullptr);
  EXPECT_EQ(slot->move, E2 << 6 | E4);
  EXPECT_EQ(slot->score, 321);
  EXPECT_EQ(slot->depth, 11);
  EXPECT_EQ(slot->flags, TT_EXACT);
  EXPECT_EQ(slot->age, 32);
  EXPECT_EQ(tt_probe_slot(BLACK), nullptr);  // the entry was for White to move
}

// A mate score from the file is not believed: the move stays as a hint that
// cuts nothing off and yields to any result of the search.
TEST_F(Learning, LoadedMateScoresKeepOnlyTheMove) {
  for (int16_t score : {9990, -10000, 9001, -9001}) {
    write_file(header(2) + entry(0xBEEF0001u, 5, score, 100, 0, 99));
    learn_switch_on();
    const TtEntry slot = tt_read(tt_table[WHITE][5 & hash_mask]);
    EXPECT_EQ(slot.lock, 0xBEEF0001u) << score;
    EXPECT_EQ(slot.move, 99) << score;
    EXPECT_EQ(slot.flags, 0) << score;
    EXPECT_EQ(slot.score, 0) << score;
    EXPECT_EQ(slot.depth, 0) << score;
    learn_switch_off();
  }
  write_file(header(2) + entry(0xBEEF0001u, 5, 9000, 100, 0, 99));  // the highest score that is no mate
  learn_switch_on();
  EXPECT_EQ(tt_read(tt_table[WHITE][5 & hash_mask]).score, 9000);
  EXPECT_EQ(tt_read(tt_table[WHITE][5 & hash_mask]).depth, 100);
}

TEST_F(Learning, BlackEntriesGoToBlacksTable) {
  write_file(header(2) + entry(0xCAFE0001u, 77, -40, 6, 1, 99));
  learn_switch_on();
  const TtEntry slot = tt_read(tt_table[BLACK][77 & hash_mask]);
  EXPECT_EQ(slot.lock, 0xCAFE0001u);
  EXPECT_EQ(slot.score, -40);
  EXPECT_EQ(slot.depth, 6);
  EXPECT_NE(tt_read(tt_table[WHITE][77 & hash_mask]).lock, 0xCAFE0001u);
}

// --- Damaged files ------------------------------------------------------------------

TEST_F(Learning, PartialLastRecordIsSkippedAndLaterReplaced) {
  const std::string whole = entry(0xBEEF0001u, 5, 12, 6, 0, 1);
  write_file(header(2) + whole + std::string(7, '\x33'));
  learn_switch_on();
  EXPECT_EQ(learn_count, 2u);
  EXPECT_EQ(tt_read(tt_table[WHITE][5 & hash_mask]).lock, 0xBEEF0001u);

  learn_store(WHITE, e2e4(0));
  const std::string bytes = file_bytes();
  ASSERT_EQ(bytes.size(), 48u);
  EXPECT_EQ(le32(bytes, 0), 3u);
  EXPECT_EQ(bytes.substr(16, 16), whole);
  EXPECT_EQ(le32(bytes, 32), hash_lock);
}

TEST_F(Learning, HugeCountStartsOverAndIsNotCarriedOn) {
  const std::string first = entry(0xBEEF0001u, 5, 12, 6, 0, 1);
  const std::string second = entry(0xBEEF0002u, 6, 13, 6, 0, 2);
  write_file(header(99999) + first + second);
  learn_switch_on();
  EXPECT_EQ(learn_count, 1u);
  EXPECT_EQ(tt_read(tt_table[WHITE][6 & hash_mask]).lock, 0xBEEF0002u);  // reading is not bounded by the count

  learn_store(WHITE, e2e4(0));
  const std::string bytes = file_bytes();
  ASSERT_EQ(bytes.size(), 48u);
  EXPECT_EQ(le32(bytes, 0), 2u);  // never more than the file holds
  EXPECT_EQ(le32(bytes, 16), hash_lock);
  EXPECT_EQ(bytes.substr(32), second);
}

TEST_F(Learning, CountBeyondTheFileNeverClaimsAMissingRecord) {
  const std::string kept = entry(0xBEEF0001u, 5, 12, 6, 0, 1);
  write_file(header(4) + kept);
  learn_switch_on();
  learn_store(WHITE, e2e4(0));
  const std::string bytes = file_bytes();
  ASSERT_EQ(bytes.size(), 48u);  // no gap of zero records
  EXPECT_EQ(le32(bytes, 0), 3u);
  EXPECT_EQ(bytes.substr(16, 16), kept);
  EXPECT_EQ(le32(bytes, 32), hash_lock);
}

// Another engine appends to the file this one holds open.
TEST_F(Learning, RecordAppendedMeanwhileIsKept) {
  learn_switch_on();
  const std::string theirs = entry(0xBEEF0001u, 5, 12, 6, 0, 1);
  write_file(header(2) + theirs);
  learn_store(WHITE, e2e4(0));
  const std::string bytes = file_bytes();
  ASSERT_EQ(bytes.size(), 48u);
  EXPECT_EQ(le32(bytes, 0), 3u);
  EXPECT_EQ(bytes.substr(16, 16), theirs);
  EXPECT_EQ(le32(bytes, 32), hash_lock);
}

TEST_F(Learning, ZeroRecordsAreNotLoaded) {
  write_file(header(3) + std::string(16, '\0') + entry(0xBEEF0001u, 5, 12, 6, 0, 1));
  learn_switch_on();
  EXPECT_EQ(tt_read(tt_table[WHITE][0]).depth, TT_UNWRITTEN);
  EXPECT_EQ(tt_read(tt_table[WHITE][5 & hash_mask]).lock, 0xBEEF0001u);
}

TEST_F(Learning, FailedAppendLeavesTheCountAlone) {
  learn_switch_on();
  std::FILE* const writable = learn_file;
  learn_file = std::fopen(LEARN_FILE_NAME, "rb");  // every write fails
  ASSERT_NE(learn_file, nullptr);
  learn_store(WHITE, e2e4(0));
  std::fclose(learn_file);
  learn_file = writable;
  EXPECT_EQ(learn_count, 1u);
  EXPECT_EQ(file_bytes(), header(1));

  learn_store(WHITE, e2e4(0));  // the next append takes the same place
  EXPECT_EQ(file_bytes().size(), 32u);
  EXPECT_EQ(learn_count, 2u);
}

TEST_F(Learning, WithoutTablesOnlyTheCountIsRead) {
  write_file(header(3) + entry(0xBEEF0001u, 5, 12, 6, 0, 1));
  TtSlot* const tables[2] = {tt_table[0], tt_table[1]};
  tt_table[0] = tt_table[1] = nullptr;
  learn_switch_on();
  tt_table[0] = tables[0];
  tt_table[1] = tables[1];
  EXPECT_EQ(learn_count, 3u);
  EXPECT_NE(tt_read(tt_table[WHITE][5 & hash_mask]).lock, 0xBEEF0001u);
}

TEST_F(Learning, MissingOrZeroCountNeverAimsAtTheHeader) {
  const std::string kept = entry(0xBEEF0001u, 5, 12, 6, 0, 1);
  const struct {
    std::string bytes;
    uint32_t record;  // where the entry goes
  } cases[] = {{std::string(), 1}, {std::string("\x02\0\0", 3), 1}, {header(0) + kept, 2}};
  for (const auto& c : cases) {
    write_file(c.bytes);
    learn_count = 7;  // left from an earlier file
    learn_switch_on();
    EXPECT_EQ(learn_count, 1u);
    learn_store(WHITE, e2e4(0));
    const std::string after = file_bytes();
    ASSERT_EQ(after.size(), 16u * (c.record + 1));
    EXPECT_EQ(le32(after, 16 * c.record), hash_lock);  // never record 0
    EXPECT_EQ(le32(after, 0), c.record + 1);
    if (c.record == 2) {
      EXPECT_EQ(after.substr(16, 16), kept);
    }
    learn_switch_off();
  }
}

}  // namespace
