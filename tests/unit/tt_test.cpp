// Transposition table: replacement, mate-score distance, ageing.
#include <gtest/gtest.h>

#include "board.h"
#include "protocol/command_loop.h"
#include "protocol/game_setup.h"
#include "search/tt.h"
#include "search_state.h"
#include "settings.h"

namespace {

class TranspositionTable : public testing::Test {
 protected:
  void SetUp() override {
    ensure_engine_ready();
    tt_clear();
    tt_age = 3;
    hash_key = 0x1234;
    hash_lock = 0xABCD0001;
  }
  void TearDown() override { rebuild_position(); }
  static void at_node(int p, int h, uint16_t flags = 0) {
    ply = static_cast<int8_t>(p);
    horizon[p] = static_cast<int16_t>(h);
    node_flags[p] = flags;
  }
  static TtEntry slot() { return tt_read(tt_table[WHITE][hash_key & hash_mask]); }
};

TEST_F(TranspositionTable, FirstStoreCountsAndMateScoresTravelByPly) {
  at_node(7, 12);
  tt_store(WHITE, 9990, TT_FROM_SEARCH, 12, 28, TT_LOWER);
  tt_store(WHITE, 9990, TT_FROM_SEARCH, 12, 28, TT_LOWER);
  EXPECT_EQ(tt_used, 1u);
  EXPECT_EQ(slot().score, 9997);
  at_node(5, 12);
  ASSERT_NE(tt_probe_slot(WHITE), nullptr);
  EXPECT_EQ(tt_score_from_slot(tt_read(*tt_current)), 9992);
  EXPECT_EQ(tt_probe_slot(BLACK), nullptr);  // the other side's table
}

// Quiescence ends twenty plies beyond the horizon, so a result stored
// further out saw fewer plies ahead: it serves a node only as far out or
// further, never the main search; a main search's result serves any.
TEST_F(TranspositionTable, AQuiescenceResultServesNoNodeWithMorePliesAhead) {
  const int h = 9;
  const struct {
    int8_t from;
    int stored_beyond, probed_beyond;
    bool usable;
  } cases[] = {{TT_FROM_QUIESCE, 20, 20, true}, {TT_FROM_QUIESCE, 20, 19, false}, {TT_FROM_QUIESCE, 1, 1, true},
               {TT_FROM_QUIESCE, 1, 5, true},   {TT_FROM_QUIESCE, 1, 0, false},   {TT_FROM_SEARCH, 0, 20, true}};
  for (const auto& c : cases) {
    tt_clear();
    at_node(h + c.stored_beyond, h);
    tt_store(WHITE, 5, c.from, 1, 2, TT_EXACT);
    at_node(h + c.probed_beyond, h);
    const TtEntry* entry = tt_probe_slot(WHITE);
    ASSERT_NE(entry, nullptr) << c.stored_beyond;
    EXPECT_EQ(tt_usable_quiesce(*entry), c.usable) << c.stored_beyond << " " << c.probed_beyond;
    at_node(h, h);
    EXPECT_EQ(tt_usable_main(*entry), c.from == TT_FROM_SEARCH) << c.stored_beyond;
  }
  tt_clear();
  at_node(h + 21, h);  // beyond quiescence: not kept
  tt_store(WHITE, 5, TT_FROM_QUIESCE, 1, 2, TT_EXACT);
  EXPECT_EQ(tt_probe_slot(WHITE), nullptr);
}

TEST_F(TranspositionTable, DeeperEntryOfThePositionSurvivesShallowerStores) {
  at_node(2, 9);
  tt_store(WHITE, 111, TT_FROM_SEARCH, 1, 2, TT_EXACT);
  for (int generation = 0; generation < 3; generation++) {
    tt_new_search();
    at_node(6, 9);
    tt_store(WHITE, 222, TT_FROM_SEARCH, 3, 4, TT_LOWER);
    tt_store(WHITE, 333, TT_FROM_QUIESCE, 3, 4, TT_LOWER);
  }
  EXPECT_EQ(slot().score, 111);
  hash_lock ^= 0x100;  // another position in the slot: the old deep entry yields
  tt_store(WHITE, 222, TT_FROM_SEARCH, 3, 4, TT_LOWER);
  EXPECT_EQ(slot().score, 222);
}

TEST_F(TranspositionTable, GenerationsWrapAbove250) {
  const uint8_t search_start[][3] = {{249, 250, 249}, {250, 1, 0}};  // before, after, slot age
  for (const auto& c : search_start) {
    tt_age = c[0];
    tt_store(WHITE, 1, TT_FROM_SEARCH, 1, 2, TT_EXACT);
    tt_new_search();
    EXPECT_EQ(tt_age, c[1]);
    EXPECT_EQ(slot().age, c[2]);
  }
  const uint8_t game_move[][2] = {{249, 250}, {250, 251}, {251, 251}};
  for (const auto& c : game_move) {
    tt_age = c[0];
    tt_age_game_move();
    EXPECT_EQ(tt_age, c[1]);
  }
}

TEST_F(TranspositionTable, MateThreatComesFromTheStoringNode) {
  at_node(4, 9, MATE_THREAT);
  tt_store(WHITE, 0, TT_FROM_SEARCH, 1, 2, TT_LOWER);
  EXPECT_EQ(slot().flags, TT_LOWER | MATE_THREAT);
  at_node(4, 9);
  tt_store(WHITE, 0, TT_FROM_SEARCH, 1, 2, TT_EXACT);
  EXPECT_EQ(slot().flags, TT_EXACT);
}

// Threads write the table without a lock: an entry left with words of two
// writes, or read while one is half written, belongs to no position.
TEST_F(TranspositionTable, AnEntryOfTwoWritesIsAMiss) {
  at_node(5, 12);
  const uint32_t first_lock = hash_lock, second_lock = hash_lock ^ 0x5A5A0000u;
  tt_store(WHITE, 9990, TT_FROM_SEARCH, 12, 28, TT_LOWER);
  const TtSlot first = tt_table[WHITE][hash_key & hash_mask];
  hash_lock = second_lock;
  tt_store(WHITE, -9990, TT_FROM_SEARCH, 1, 2, TT_EXACT);
  const TtSlot second = tt_table[WHITE][hash_key & hash_mask];
  for (int from_first = 1; from_first < 7; from_first++) {
    TtSlot& mixed = tt_table[WHITE][hash_key & hash_mask];
    mixed.check = (from_first & 1) ? first.check : second.check;
    mixed.data = (from_first & 2) ? first.data : second.data;
    mixed.extra = (from_first & 4) ? first.extra : second.extra;
    for (uint32_t lock : {first_lock, second_lock}) {
      hash_lock = lock;
      EXPECT_EQ(tt_probe_slot(WHITE), nullptr) << from_first;
    }
  }
}

}  // namespace
