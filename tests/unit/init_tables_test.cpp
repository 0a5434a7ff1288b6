// Tables computed at initialisation, which every later subsystem relies on.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

#include "board.h"
#include "driver/book.h"
#include "protocol/command_loop.h"
#include "protocol/game_setup.h"
#include "search/hash_tables.h"
#include "search/ordering.h"
#include "search/tt.h"
#include "settings.h"

namespace {

class InitTables : public testing::Test {
 protected:
  void SetUp() override { ensure_engine_ready(); }
};

TEST_F(InitTables, HashCodesFollowTheFixedSequence) {
  EXPECT_EQ(hash_codes[WHITE][PAWN][0][0], 0x41CE8738u);
  EXPECT_EQ(hash_codes[WHITE][PAWN][0][1], 0x41D6C108u);
  for (int c = WHITE; c <= BLACK; c++)
    for (int s = 0; s < SQUARE_COUNT; s++) {
      EXPECT_EQ(hash_codes[c][NO_PIECE][s][0], 0u);
      EXPECT_EQ(hash_codes[c][NO_PIECE][s][1], 0u);
    }
  // The last pair generated is black king on h8; all words differ in a sample.
  std::set<uint32_t> words;
  for (int s = 0; s < SQUARE_COUNT; s++) words.insert(hash_codes[BLACK][KING][s][0]);
  EXPECT_EQ(words.size(), 64u);
}

// Book and learning files on disk are keyed by these codes: the values come
// from a computation of the generator made apart from the engine.
TEST_F(InitTables, HashCodesMatchTheStoredFiles) {
  EXPECT_EQ(hash_codes[BLACK][KING][63][0], 0x8B26C245u);
  EXPECT_EQ(hash_codes[BLACK][KING][63][1], 0x8B38271Du);
  new_game();
  EXPECT_EQ(hash_key, 0x02CA945Du);
  EXPECT_EQ(hash_lock, 0x01633F93u);
}

// The move texts of a position command are matched against generated moves,
// scored from the history tables, before any search has filled them.
TEST(EngineInit, HistoryHoldsItsStartingValueBeforeAnySearch) {
  if (engine_ready) GTEST_SKIP() << "an earlier test in this process initialised the engine";
  ensure_engine_ready();
  for (int side = WHITE; side <= BLACK; side++)
    for (int key = 0; key < HISTORY_ENTRIES; key++) ASSERT_EQ(history[side][key], HISTORY_START) << side << " " << key;
}

// Walks a ray chain from origin, returning squares in chain order.
std::vector<int> chain(const RayTable* table, int type, int origin) {
  std::vector<int> squares;
  for (int q = table[type][origin][origin]; q != origin; q = table[type][origin][q]) {
    squares.push_back(q);
    if (squares.size() > 64) break;
  }
  return squares;
}

TEST_F(InitTables, PawnChainsHoldPushesAndCaptures) {
  EXPECT_EQ(chain(next_square, PAWN, 8), (std::vector<int>{16, 24}));       // a2: a3 a4
  EXPECT_EQ(chain(next_direction, PAWN, 8), (std::vector<int>{17}));        // a2 takes b3
  EXPECT_EQ(chain(next_square, PAWN, 16), (std::vector<int>{24}));          // a3: a4 only
  EXPECT_EQ(chain(next_direction, PAWN, 12), (std::vector<int>{19, 21}));   // e2: d3 then f3
  EXPECT_EQ(chain(next_direction, PAWN, 15), (std::vector<int>{22}));       // h2: g3
  EXPECT_EQ(chain(next_square, BLACK_PAWN, 52), (std::vector<int>{44, 36}));  // e7: e6 e5
  EXPECT_EQ(chain(next_direction, BLACK_PAWN, 52), (std::vector<int>{45, 43}));  // e7: f6 then d6
  EXPECT_EQ(chain(next_square, BLACK_PAWN, 44), (std::vector<int>{36}));
}

TEST_F(InitTables, RookOnA1ChainsFirstRankThenAFile) {
  std::vector<int> expected = {1, 2, 3, 4, 5, 6, 7, 8, 16, 24, 32, 40, 48, 56};
  EXPECT_EQ(chain(next_square, ROOK, 0), expected);
  for (int q = 1; q <= 7; q++) EXPECT_EQ(next_direction[ROOK][0][q], 8) << q;
  for (int q = 8; q <= 56; q += 8) EXPECT_EQ(next_direction[ROOK][0][q], 0) << q;
  EXPECT_EQ(next_direction[ROOK][0][0], 1);
}

// The chains must reach exactly what a man reaches on an empty board, ray by
// ray, and next_direction must jump to the start of the next ray.
TEST_F(InitTables, PieceChainsMatchEmptyBoardMoves) {
  struct Step {
    int df, dr;
  };
  const std::vector<Step> knight = {{1, 2}, {2, 1}, {-1, 2}, {-2, 1}, {1, -2}, {2, -1}, {-1, -2}, {-2, -1}};
  const std::vector<Step> diagonal = {{1, 1}, {-1, 1}, {1, -1}, {-1, -1}};
  const std::vector<Step> straight = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
  std::vector<Step> both = straight;
  both.insert(both.end(), diagonal.begin(), diagonal.end());
  struct Kind {
    int type;
    const std::vector<Step>* steps;
    int max;
  };
  const Kind kinds[] = {{KNIGHT, &knight, 1}, {BISHOP, &diagonal, 7}, {ROOK, &straight, 7},
                        {QUEEN, &both, 7},    {KING, &both, 1}};
  for (const Kind& kind : kinds)
    for (int o = 0; o < SQUARE_COUNT; o++) {
      std::set<int> reachable;
      for (const Step& st : *kind.steps)
        for (int n = 1; n <= kind.max; n++) {
          int f = file_of(o) + st.df * n, r = rank_of(o) + st.dr * n;
          if (f < 0 || f > 7 || r < 0 || r > 7) break;
          reachable.insert(make_square(f, r));
        }
      std::vector<int> walked = chain(next_square, kind.type, o);
      EXPECT_EQ(std::set<int>(walked.begin(), walked.end()), reachable) << kind.type << " on " << o;
      EXPECT_EQ(walked.size(), reachable.size()) << kind.type << " on " << o;
      // Skipping from any square lands on a square of a later ray or home.
      for (std::size_t i = 0; i < walked.size(); i++) {
        int skip = next_direction[kind.type][o][walked[i]];
        if (skip == o) continue;
        auto at = std::find(walked.begin(), walked.end(), skip);
        ASSERT_NE(at, walked.end());
        EXPECT_GT(at - walked.begin(), static_cast<long>(i));
        EXPECT_GT(distance[o][skip], 0);
      }
    }
}

TEST_F(InitTables, DistanceIsTheKingDistance) {
  EXPECT_EQ(distance[0][63], 7);
  EXPECT_EQ(distance[0][9], 1);
  EXPECT_EQ(distance[4][60], 7);
  EXPECT_EQ(distance[27][27], 0);
  EXPECT_EQ(distance[8][26], 2);
  for (int a = 0; a < SQUARE_COUNT; a++)
    for (int b = 0; b < SQUARE_COUNT; b++) ASSERT_EQ(distance[a][b], distance[b][a]);
}

TEST_F(InitTables, PerformanceTableIsAntisymmetric) {
  EXPECT_EQ(performance_table[100], 874);
  EXPECT_EQ(performance_table[50], 0);
  EXPECT_EQ(performance_table[0], -874);
  EXPECT_EQ(performance_table[9], -383);
  EXPECT_EQ(performance_table[91], 383);
  for (int p = 0; p <= 100; p++) EXPECT_EQ(performance_table[p], -performance_table[100 - p]) << p;
}

TEST_F(InitTables, DefaultHashIsSixteenMegabytes) {
  EXPECT_EQ(hash_mask, 0x7FFFFu);
  EXPECT_EQ(score_table_entries, 524288u);
  EXPECT_EQ(value_pawn, 100);
  EXPECT_EQ(value_queen, 1000);
  EXPECT_EQ(chess_knowledge, 1);
  EXPECT_EQ(tt_read(tt_table[WHITE][0]).depth, TT_UNWRITTEN);
  EXPECT_EQ(tt_read(tt_table[BLACK][hash_mask]).depth, TT_UNWRITTEN);
}

TEST_F(InitTables, NoBookWithoutFiles) { EXPECT_EQ(book_available, 0); }

struct SizingRow {
  int32_t megabytes;
  uint32_t mask;
  uint32_t score_entries;
};

void PrintTo(const SizingRow& row, std::ostream* os) { *os << row.megabytes << " MB"; }

class HashSizing : public testing::TestWithParam<SizingRow> {};

TEST_P(HashSizing, ChoosesMaskAndScoreEntries) {
  const SizingRow& row = GetParam();
  EXPECT_EQ(hash_mask_for(row.megabytes), row.mask);
  EXPECT_EQ(score_entries_for(row.megabytes, row.mask), row.score_entries);
}

INSTANTIATE_TEST_SUITE_P(Rows, HashSizing,
                         testing::Values(SizingRow{0, 1, 1}, SizingRow{-3, 1, 1}, SizingRow{1, 0x7FFF, 32768},
                                         SizingRow{3, 0xFFFF, 196608}, SizingRow{16, 0x7FFFF, 524288},
                                         SizingRow{200, 0x3FFFFF, 13631488}, SizingRow{205, 0x7FFFFF, 1703936},
                                         SizingRow{408, 0x7FFFFF, 28311552}, SizingRow{409, 0xFFFFFF, 3276800},
                                         SizingRow{432, 0xFFFFFF, 6291456}));

TEST(HashAllocation, ResizesAndRestores) {
  ensure_engine_ready();
  int32_t used = -1;
  ASSERT_EQ(allocate_hash_tables(0, &used), 0);
  EXPECT_EQ(used, 0);
  EXPECT_EQ(hash_mask, 1u);
  EXPECT_EQ(score_table_entries, 1u);
  ASSERT_EQ(allocate_hash_tables(1, &used), 0);
  EXPECT_EQ(hash_mask, 0x7FFFu);
  tt_clear();
  clear_score_table();
  EXPECT_EQ(score_table[score_table_entries - 1].bytes[6], 0xFF);
  EXPECT_EQ(tt_used, 0u);
  ASSERT_EQ(allocate_hash_tables(16, &used), 0);
  tt_clear();
  EXPECT_EQ(hash_mask, 0x7FFFFu);
}

}  // namespace
