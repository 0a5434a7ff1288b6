// Book lookup over hand-written files, the check search of a hit, and the
// weighted choice.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "search_control.h"
#include "board/make_move.h"
#include "board/movegen.h"
#include "board_fixture.h"
#include "driver/book.h"
#include "driver/random.h"
#include "search/tt.h"
#include "settings.h"
#include "tools/scratch_dir.h"

namespace {

namespace fs = std::filesystem;

struct Record {
  uint32_t key, white, black, draws;
  uint16_t white_rating, black_rating, side, spare;
};

std::string le(uint64_t value, int bytes) {
  std::string out;
  for (int i = 0; i < bytes; i++) out += static_cast<char>(value >> (8 * i) & 0xFF);
  return out;
}

class BookTest : public BoardTest {
 protected:
  void SetUp() override {
    BoardTest::SetUp();
    dir_ = make_scratch_dir("tervalk-book-");
    ASSERT_FALSE(dir_.empty());
    old_ = fs::current_path();
    fs::current_path(dir_);
    use_engine_book = 1;
    book_new_search();
  }
  void TearDown() override {
    book_close();
    use_engine_book = 0;
    search_aborted = 0;
    fs::current_path(old_);
    fs::remove_all(dir_);
  }

  // Writes the QVbook pair; `index_extra` and `data_cut` spoil the lengths.
  static void write_book(const std::vector<std::pair<uint32_t, int32_t>>& index, const std::vector<Record>& data,
                         const std::string& index_extra = "", std::size_t data_cut = 0) {
    std::string ind, dat;
    for (const auto& [key, record] : index) ind += le(key, 4) + le(static_cast<uint32_t>(record), 4);
    for (const Record& r : data)
      dat += le(r.key, 4) + le(r.white, 4) + le(r.black, 4) + le(r.draws, 4) + le(r.white_rating, 2) +
             le(r.black_rating, 2) + le(r.side, 2) + le(r.spare, 2);
    std::ofstream("QVbook.ind", std::ios::binary) << ind + index_extra;
    std::ofstream("QVbook.dat", std::ios::binary) << dat.substr(0, dat.size() - data_cut);
    book_open();
    ASSERT_EQ(book_available, 1);
  }

  // Plays 1.e4 from the start and returns the key of the position reached.
  static uint32_t after_e4() {
    new_game();
    play(WHITE, "e2e4");
    return hash_lock;
  }
  static int probe_e4(uint8_t side = WHITE) { return book_probe(12, 28, 0, side); }

  fs::path dir_, old_;
};

TEST_F(BookTest, HitFillsTheCandidateFromTheRootSidesView) {
  const uint32_t key = after_e4();
  write_book({{key - 1, 0}, {key, 1}}, {{key - 1, 9, 9, 9, 1, 1, 1, 0}, {key, 60, 20, 20, 2400, 2300, 1, 7}});
  ASSERT_EQ(probe_e4(), 1);
  const BookCandidate& c = book_candidates[0];
  EXPECT_EQ(c.move, move_key(12, 28));
  EXPECT_EQ(c.games, 100u);
  EXPECT_EQ(c.own_rating, 2400);
  EXPECT_EQ(c.opponent_rating, 2300);
  EXPECT_EQ(c.performance, 2300 + 149);  // 70 %
  EXPECT_EQ(c.score_diff, 7);

  play(BLACK, "e7e5");
  const uint32_t black_key = hash_lock;
  write_book({{black_key, 0}}, {{black_key, 60, 20, 20, 2400, 2300, 0, 0}});
  ASSERT_EQ(book_probe(52, 36, 1, BLACK), 1);
  EXPECT_EQ(book_candidates[1].own_rating, 2300);
  EXPECT_EQ(book_candidates[1].performance, 2400 - 149);  // 30 %
}

TEST_F(BookTest, SearchesTheIndexInUnsignedKeyOrder) {
  const uint32_t key = after_e4();
  ASSERT_GT(key, 40u);
  // Small keys below the target, keys with the top bit above it: whatever the
  // target's own top bit, a signed comparison goes astray on one side.
  const uint32_t high = (key > 0x7FFFFFFFu ? key : 0x7FFFFFFFu) + 1;
  for (int at = 0; at < 40; at += 3) {
    std::vector<std::pair<uint32_t, int32_t>> index;
    for (int i = 0; i < 40; i++)
      index.push_back({i < at ? uint32_t(i) : i == at ? key : high + i, i == at ? 0 : -1});
    write_book(index, {{key, 1, 0, 0, 0, 0, 1, 0}});
    EXPECT_EQ(probe_e4(), 1) << "target at " << at;
  }
}

struct ProbeCase {
  const char* name;
  int32_t record;
  Record data;  // key 0 stands for the probed key
  std::string index_extra;
  std::size_t data_cut;
  bool empty_index;
  int hit;
};
void PrintTo(const ProbeCase& c, std::ostream* os) { *os << c.name; }

class BookProbe : public BookTest, public testing::WithParamInterface<ProbeCase> {};

TEST_P(BookProbe, HitsOnlyOnACompleteMatchingRecord) {
  const ProbeCase& c = GetParam();
  const uint32_t key = after_e4();
  Record data = c.data;
  if (data.key == 0) data.key = key;
  if (c.empty_index)
    write_book({}, {data}, c.index_extra);
  else
    write_book({{key, c.record}}, {data}, c.index_extra, c.data_cut);
  EXPECT_EQ(probe_e4(), c.hit);
}

const Record good{0, 5, 5, 5, 0, 0, 1, 0};
INSTANTIATE_TEST_SUITE_P(
    Cases, BookProbe,
    testing::Values(ProbeCase{"EmptyIndex", 0, good, "", 0, true, 0},
                    ProbeCase{"PartialIndexEntry", 0, good, le(0, 7), 0, true, 0},
                    ProbeCase{"TrailingIndexBytes", 0, good, le(0, 5), 0, false, 1},
                    ProbeCase{"NegativeRecord", -1, good, "", 0, false, 0},
                    ProbeCase{"RecordPastTheEnd", 1, good, "", 0, false, 0},
                    ProbeCase{"HugeRecordNumber", 0x7FFFFFFF, good, "", 0, false, 0},
                    ProbeCase{"ShortRecord", 0, good, "", 1, false, 0},
                    ProbeCase{"KeyMismatch", 0, {1, 5, 5, 5, 0, 0, 1, 0}, "", 0, false, 0},
                    ProbeCase{"OtherSideToMove", 0, {0, 5, 5, 5, 0, 0, 0, 0}, "", 0, false, 0},
                    ProbeCase{"NoGames", 0, {0, 0, 0, 0, 0, 0, 1, 0}, "", 0, false, 0}),
    [](const testing::TestParamInfo<ProbeCase>& info) { return info.param.name; });

TEST_F(BookTest, AbsurdCountsStayInsideTheTable) {
  const uint32_t key = after_e4();
  const uint32_t big = UINT32_MAX;
  for (const Record& r : {Record{key, big, big, big, 0, 65535, 1, 0}, Record{key, big, 0, big, 0, 65535, 1, 0},
                          Record{key, 0, big, big, 0, 65535, 1, 0}}) {
    write_book({{key, 0}}, {r});
    ASSERT_EQ(probe_e4(), 1);
    EXPECT_EQ(book_candidates[0].games, big);
    const int pct = r.black == 0 ? 75 : r.white == 0 ? 25 : 50;
    EXPECT_EQ(book_candidates[0].performance, 65535 + performance_table[pct]);
  }
  book_candidates[1] = book_candidates[0];
  book_candidates[1].move = 1;
  book_pick(2, 32767);
  EXPECT_EQ(book_candidates[0].weight + book_candidates[1].weight, 100);
}

// Fills candidates with 0-based moves, equal performance and score difference.
void fill(const std::vector<uint32_t>& games, int16_t diff = 0) {
  book_new_search();
  for (std::size_t i = 0; i < games.size(); i++) {
    book_candidates[i].move = static_cast<uint16_t>(i);
    book_candidates[i].games = games[i];
    book_candidates[i].performance = 2500;
    book_candidates[i].score_diff = diff;
  }
}

TEST(BookPick, RareMovesAreNeverDrawn) {
  for (int r = 0; r < 32768; r++) {
    fill({5, 1000});
    ASSERT_EQ(book_pick(2, r), 1) << r;
  }
  EXPECT_EQ(book_candidates[1].weight, 0);
}

TEST(BookPick, AllWeightsZeroPlaysTheFirst) {
  for (int r : {0, 1, 32767}) {
    fill({300, 300, 300}, -200);
    EXPECT_EQ(book_pick(3, r), 0);
  }
}

TEST(BookPick, SortsByWeightThenBringsTheDrawnOneFirst) {
  // Weights 25, 25, 12, 37: the exchange sort leaves the tied pair reversed.
  const struct {
    int random;
    std::vector<uint16_t> order;
  } cases[] = {{0, {3, 1, 0, 2}}, {99, {3, 1, 0, 2}}, {37, {1, 3, 0, 2}}, {62, {0, 1, 3, 2}}, {98, {2, 1, 0, 3}}};
  for (const auto& c : cases) {
    fill({200, 200, 100, 300});
    book_pick(4, c.random);
    std::vector<uint16_t> order;
    for (int i = 0; i < 4; i++) order.push_back(book_candidates[i].move);
    EXPECT_EQ(order, c.order) << "random " << c.random;
  }
}

TEST(BookPick, CheckSearchResultAdjustsTheWeight) {
  const uint16_t flank = move_key(10, 26);
  const struct {
    int16_t diff;
    uint8_t sound;
    uint16_t move;
    int16_t weight;
  } cases[] = {{0, 1, 0, 50},  {45, 0, 0, 70},         {25, 0, 0, 60},        {-30, 1, 0, 17},
               {-30, 0, 0, 35}, {-60, 1, flank, 0},    {-60, 0, flank, 20},   {-60, 1, 0, 10}};
  for (const auto& c : cases) {
    fill({100, 100}, c.diff);
    book_candidates[0].move = c.move;
    book_candidates[1].move = 999;
    book_sound_move = c.sound;
    book_pick(2, 0);
    const int at = book_candidates[0].move == c.move ? 0 : 1;
    EXPECT_EQ(book_candidates[at].weight, c.weight) << "diff " << c.diff << " move " << c.move;
  }
  book_sound_move = 0;
}

// The generator is seeded with the clock's seconds at each choice: an even
// pair chosen at successive seconds must change its answer about every
// second time, not stay with one move for many seconds in a row.
TEST(BookPick, SuccessiveSecondsDrawIndependently) {
  constexpr int SECONDS = 2000;
  for (uint32_t start : {0u, 1700000000u, 4294966000u}) {
    int first_move = 0, changes = 0;
    uint16_t previous = 0;
    for (int t = 0; t < SECONDS; t++) {
      fill({100, 100});
      random_seed(start + static_cast<uint32_t>(t));
      const uint16_t chosen = book_pick(2, random_next());
      first_move += chosen == 0;
      changes += t > 0 && chosen != previous;
      previous = chosen;
    }
    EXPECT_GT(changes, SECONDS * 2 / 5) << start;
    EXPECT_LT(changes, SECONDS * 3 / 5) << start;
    EXPECT_GT(first_move, SECONDS * 2 / 5) << start;
    EXPECT_LT(first_move, SECONDS * 3 / 5) << start;
  }
}

TEST_F(BookTest, CheckSearchDropsMovesLosingAgainstTheBalance) {
  // 1.e4 e5 2.Qh5 Nc6, where the queen's check loses her; and a pawn check
  // that loses the pawn (score -100), judged against several balances.
  const char* queen = "r1bqkbnr/pppp1ppp/2n5/4p2Q/4P3/8/PPPP1PPP/RNB1KBNR w KQkq -";
  const char* pawn = "6k1/p6p/5P2/8/8/8/P7/4K3 w - -";
  const struct {
    const char* fen;
    const char* move;
    int16_t balance;
    bool kept;
    int16_t diff;
  } cases[] = {{queen, "h5f7", 0, false, 0},  {queen, "g1f3", 0, true, 0},    {pawn, "f6f7", 0, false, 0},
               {pawn, "f6f7", -60, false, 0}, {pawn, "f6f7", -80, true, -20}, {pawn, "a2a3", 60, true, -60}};
  for (const auto& c : cases) {
    set_fen(c.fen);
    for (int p = 0; p < PLY_SLOTS; p++) horizon[p] = node_flags[p] = check_count[p] = null_ply[p] = 0;
    next_poll_nodes = UINT32_MAX;
    iteration_depth = 1;
    tt_clear();
    generate_moves(WHITE);
    const Move m = find_move(c.move);
    make_move(WHITE, m);
    write_book({{hash_lock, 0}}, {{hash_lock, 10, 10, 10, 0, 0, 1, 0}});
    book_new_search();
    EXPECT_EQ(book_consider(m.from, m.to, 0, WHITE, c.balance), c.kept) << c.move << " " << c.balance;
    if (c.kept) {
      EXPECT_EQ(book_candidates[0].score_diff, c.diff) << c.move;
    }
    EXPECT_EQ(book_sound_move, c.kept && c.diff >= -20);
    unmake_move(WHITE, m);
  }
  iteration_depth = 0;
}

}  // namespace
