// Principal variations read back from the transposition table.
#include "board/make_move.h"
#include "board/movegen.h"
#include "board_fixture.h"
#include "search/pv.h"
#include "search/tt.h"
#include "settings.h"

namespace {

class PvTest : public BoardTest {
 protected:
  void SetUp() override {
    BoardTest::SetUp();
    tt_clear();
    for (int i = 0; i < PV_SLOTS; i++) pv_line[i] = pv_flags[i] = 0, pv_lock[i] = 0;
  }

  static uint16_t key(const char* coordinates) {
    auto square = [](const char* s) { return (s[0] - 'a') + 8 * (s[1] - '1'); };
    return move_key(square(coordinates), square(coordinates + 2));
  }

  // Stores `move` as the table move of the current position, `side` to move.
  static void store(uint8_t side, const char* move, int16_t score = 100) {
    tt_write(tt_table[side][hash_key & hash_mask], TtEntry{hash_lock, key(move), score, TT_EXACT, 5, tt_age, rights_tag()});
  }

  // Stores the moves one after the other from the current position, playing
  // them on the way, then takes them all back.
  static void store_line(uint8_t side, std::initializer_list<const char*> moves) {
    std::vector<Move> played;
    uint8_t s = side;
    for (const char* m : moves) {
      store(s, m);
      ply = 2;
      played.push_back(play(s, m));
      s ^= 1;
    }
    for (auto it = played.rbegin(); it != played.rend(); ++it) {
      s ^= 1;
      unmake_move(s, *it);
    }
    ply = 1;
  }

  static std::vector<uint16_t> line_from(int i) {
    std::vector<uint16_t> keys;
    while (i < PV_SLOTS && pv_line[i] != 0) keys.push_back(pv_line[i++]);
    return keys;
  }
};

TEST_F(PvTest, FollowsTheTableMoveByMove) {
  const uint32_t lock = hash_lock;
  store_line(WHITE, {"e2e4", "e7e5", "g1f3"});
  pv_from_table(WHITE, 2);
  EXPECT_EQ(line_from(2), (std::vector<uint16_t>{key("e2e4"), key("e7e5"), key("g1f3")}));
  EXPECT_EQ(hash_lock, lock);
  EXPECT_EQ(game_index, 0);
  EXPECT_EQ(ply, 1);
}

TEST_F(PvTest, AnIllegalStoredMoveEndsTheLine) {
  set_fen("8/8/8/8/4k3/8/4r3/4K2N w - -");
  store(WHITE, "e1e2");  // legal: the king takes the rook
  ply = 2;
  const Move capture = play(WHITE, "e1e2");
  store(BLACK, "e4e3");  // illegal: next to the white king
  ply = 1;
  unmake_move(WHITE, capture);
  pv_from_table(WHITE, 2);
  EXPECT_EQ(line_from(2), (std::vector<uint16_t>{key("e1e2")}));
  EXPECT_EQ(pv_flags[3], 0);

  store(WHITE, "h1g4");  // not a knight move at all
  pv_from_table(WHITE, 2);
  EXPECT_TRUE(line_from(2).empty());
}

TEST_F(PvTest, ACycleIsCutAfterTheMoveThatClosesIt) {
  set_fen("4k1n1/8/8/8/8/8/8/4K1N1 w - -");
  store_line(WHITE, {"g1f3", "g8f6", "f3g1", "f6g8"});
  pv_from_table(WHITE, 2);
  // g1f3 g8f6 f3g1 f6g8 g1f3 g8f6, then the position after g8f6 recurs.
  EXPECT_EQ(line_from(2).size(), 6u);
  EXPECT_EQ(pv_line[8], 0);
}

TEST_F(PvTest, APromotionWithoutContinuationTriesTheNextPiece) {
  set_fen("k7/4P3/8/8/8/8/8/K7 w - -");
  store(WHITE, "e7e8");
  // Only the position after the knight promotion has a table move.
  ply = 2;
  generate_moves(WHITE);
  Move knight{};
  for (const Move& m : generated())
    if ((m.flags & PROMOTE) && (m.flags & PROMO_MASK) == KNIGHT) knight = m;
  make_move(WHITE, knight);
  store(BLACK, "a8b7");
  unmake_move(WHITE, knight);
  ply = 1;

  pv_from_table(WHITE, 2);
  EXPECT_EQ(line_from(2), (std::vector<uint16_t>{key("e7e8"), key("a8b7")}));
  EXPECT_EQ(pv_flags[2], PROMOTE | KNIGHT);

  // With no continuation anywhere the promotion itself leaves the line.
  tt_clear();
  store(WHITE, "e7e8");
  pv_from_table(WHITE, 2);
  EXPECT_TRUE(line_from(2).empty());
}

TEST_F(PvTest, MultiPvLinesKeepOnlyEntriesOfTheirScore) {
  store_line(WHITE, {"e2e4", "e7e5"});
  MultiPvLine& record = multipv_records[1];
  record.score = 100;
  multipv_from_table(WHITE, 2, 1);
  EXPECT_EQ(record.moves[2], key("e2e4"));
  EXPECT_EQ(record.moves[3], key("e7e5"));
  record.score = 55;
  multipv_from_table(WHITE, 2, 1);
  EXPECT_EQ(record.moves[2], 0);
}

}  // namespace
