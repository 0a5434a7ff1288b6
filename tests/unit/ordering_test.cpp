// Ordering scores given at generation, the selection step, and the table updates.
#include <utility>
#include <vector>

#include "board/movegen.h"
#include "board_fixture.h"

namespace {

class Ordering : public BoardTest {
 protected:
  static uint16_t key_of(const char* text) {
    if (text == nullptr) return 0;
    return move_key((text[0] - 'a') + 8 * (text[1] - '1'), (text[2] - 'a') + 8 * (text[3] - '1'));
  }
};

struct ScoreCase {
  const char* name;
  const char* fen;
  const char* move;
  int16_t score;
  uint32_t flags;
  const char* hash = nullptr;
  const char* killer_1 = nullptr;
  const char* killer_2 = nullptr;
  const char* mate = nullptr;
  int last_to = 255;
};

TEST_F(Ordering, ScoresGivenAtGeneration) {
  // d5 knight guarded by the c6 pawn; e4 pawn covers d3 and f3.
  const char* guarded = "4k3/8/2p5/3n4/8/8/8/3QK3 w - - 0 1";
  const char* covered = "4k3/8/8/8/4p3/8/3P4/R3K1N1 w - - 0 1";
  const ScoreCase cases[] = {
      {"capture into a pawn's guard", guarded, "d1d5", -32190, CAPTURE},
      {"hash capture keeps its score", guarded, "d1d5", 5000, CAPTURE, "d1d5"},
      {"quiet move: history", covered, "g1h3", HISTORY_START, QUIET},
      {"knight onto a pawn-covered square", covered, "g1f3", -31815, QUIET},
      {"pawn onto a pawn-covered square", covered, "d2d3", HISTORY_START, QUIET},
      {"killer 1 first", covered, "g1f3", 100, QUIET, nullptr, "g1f3", "g1h3"},
      {"killer 2", covered, "g1h3", 50, QUIET, nullptr, "g1f3", "g1h3"},
      {"mate killer", covered, "g1e2", 2000, QUIET, nullptr, "g1e2", nullptr, "g1e2"},
      {"hash before mate killer", covered, "g1e2", 5000, QUIET, "g1e2", nullptr, nullptr, "g1e2"},
      {"capture", "4k3/8/8/8/8/n7/8/R3K3 w - - 0 1", "a1a3", 311, CAPTURE},
      {"recapture", "4k3/8/8/8/8/n7/8/R3K3 w - - 0 1", "a1a3", 361, CAPTURE, nullptr, nullptr, nullptr, nullptr, 16},
      {"capture by a pawn", "4k3/8/8/8/8/1n6/P7/4K3 w - - 0 1", "a2b3", 314, CAPTURE},
      {"knight fleeing a pawn", "4k3/8/8/4p3/3N4/8/8/4K3 w - - 0 1", "d4b3", -885, QUIET},
      {"knight fleeing a pawn with a capture", "4k3/8/8/1r2p3/3N4/8/8/4K3 w - - 0 1", "d4b5", 623, CAPTURE},
      {"pawn to the seventh rank", "4k3/8/3P4/8/8/8/8/4K3 w - - 0 1", "d6d7", 750, QUIET | PAWN_ADVANCE},
      {"hash pawn to the seventh", "4k3/8/3P4/8/8/8/8/4K3 w - - 0 1", "d6d7", 5000, QUIET | PAWN_ADVANCE, "d6d7"},
      {"pawn to the sixth rank", "4k3/8/8/3P4/8/8/8/4K3 w - - 0 1", "d5d6", HISTORY_START, QUIET | PAWN_ADVANCE},
      {"pawn to the fifth rank", "4k3/8/8/8/3P4/8/8/4K3 w - - 0 1", "d4d5", HISTORY_START, QUIET},
      {"black pawn to its sixth", "4k3/8/8/8/3p4/8/8/K7 b - - 0 1", "d4d3", HISTORY_START, QUIET | PAWN_ADVANCE},
      {"black pawn to its seventh", "4k3/8/8/8/8/3p4/8/K7 b - - 0 1", "d3d2", 750, QUIET | PAWN_ADVANCE},
      {"hash promotion", "4k3/1P6/8/8/8/8/8/4K3 w - - 0 1", "b7b8q", 6000, PROMOTE | QUEEN, "b7b8"},
      {"en passant", "4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1", "e5d6", HISTORY_START, EN_PASSANT | PAWN_ADVANCE},
  };
  for (const ScoreCase& c : cases) {
    set_fen(c.fen);
    hash_move = key_of(c.hash);
    killer1[ply] = key_of(c.killer_1);
    killer2[ply] = key_of(c.killer_2);
    mate_killer[ply] = key_of(c.mate);
    last_to_square = static_cast<uint8_t>(c.last_to);
    generate_moves(side_to_move);
    const Move move = find_move(c.move);
    EXPECT_EQ(move.score, c.score) << c.name;
    EXPECT_EQ(move.flags, c.flags) << c.name;
  }
  hash_move = 0;
}

TEST_F(Ordering, PickBestMoveKeepsTheEarliestOfEqualScores) {
  const int16_t scores[] = {5, 9, 3, 9, 1};
  for (int i = 0; i < 5; i++) move_stack[i] = Move{static_cast<int8_t>(i), 0, scores[i], QUIET};
  pick_best_move(0, 4);
  EXPECT_EQ(move_stack[0].from, 1);
  EXPECT_EQ(move_stack[1].from, 0);
  pick_best_move(1, 4);
  EXPECT_EQ(move_stack[1].from, 3);
  pick_best_move(4, 4);
  EXPECT_EQ(move_stack[4].from, 4);
}

// Longer lists are searched two moves at a time; every selection must still
// take the earliest of the highest scores, wherever it stands (odd lengths
// end on a single move), and swap it to the front.
TEST_F(Ordering, PickBestMoveOnLongListsTakesTheEarliestHighest) {
  struct Case {
    const char* name;
    std::vector<int16_t> scores;
  };
  const Case cases[] = {
      {"ties all along", {3, 7, 7, 1, 7, 0, 2, 7, 7, 5}},
      {"highest last of an odd list", {-5, -5, -5, -5, -5, -5, -5, -5, -4}},
      {"highest in the second of a pair", {0, 1, 2, 3, 4, 5, 6, 9, 8, 9, 9}},
      {"extremes", {-32768, 32767, -32768, 32767, 0, 0, 0, 0}},
      {"history values", {-31700, -31700, -31815, -31700, -31700, -31700, -31700, -31700, -31700, -30000,
                          -31700, -31700, -31700, -31700, -31700, -31700, -31700}},
  };
  for (const Case& c : cases) {
    const int n = static_cast<int>(c.scores.size());
    std::vector<int> order(n);  // the list as the rule leaves it, by original index
    for (int i = 0; i < n; i++) {
      order[i] = i;
      move_stack[10 + i] = Move{static_cast<int8_t>(i), 0, c.scores[i], QUIET};
    }
    for (int i = 0; i < n; i++) {
      int best = i;
      for (int j = i + 1; j < n; j++)
        if (c.scores[order[j]] > c.scores[order[best]]) best = j;
      std::swap(order[i], order[best]);
      pick_best_move(10 + i, 10 + n - 1);
      for (int j = 0; j < n; j++) ASSERT_EQ(move_stack[10 + j].from, order[j]) << c.name << " step " << i;
    }
  }
}

TEST_F(Ordering, HistoryGrowsByRemainingDepthSquaredOnlyBelowTheLimit) {
  const Move move{6, 21, 0, QUIET};  // g1f3
  const uint16_t key = move_key(6, 21);
  ply = 3;
  horizon[3] = 9;
  history[WHITE][key] = -2049;
  update_move_tables(WHITE, move, 0);
  EXPECT_EQ(history[WHITE][key], -2013);
  update_move_tables(WHITE, move, 0);
  EXPECT_EQ(history[WHITE][key], -2013);
  EXPECT_EQ(history[BLACK][key], HISTORY_START);
  ply = 1;
}

TEST_F(Ordering, KillerAndMateKillerUpdates) {
  play(WHITE, "e2e4");  // the opponent's last move arrives on e4
  ply = 2;
  horizon[2] = 4;
  const uint16_t b8c6 = move_key(57, 42), g8f6 = move_key(62, 45);
  struct Case {
    const char* name;
    Move move;
    int16_t score;
    uint16_t killer_1, killer_2, mate;
    int16_t history_gain;
  };
  const Case cases[] = {
      {"quiet cutoff", {57, 42, 0, QUIET}, 30, b8c6, 0, 0, 4},
      {"same quiet again", {57, 42, 0, QUIET}, 30, b8c6, 0, 0, 4},
      {"another quiet", {62, 45, 0, QUIET}, 30, g8f6, b8c6, 0, 4},
      {"capture cutoff", {45, 28, 0, CAPTURE}, 30, g8f6, b8c6, 0, 0},
      {"mating capture onto the last square", {45, 28, 0, CAPTURE}, 9500, g8f6, b8c6, 0, 0},
      {"mating capture elsewhere", {45, 35, 0, CAPTURE}, 9500, g8f6, b8c6, move_key(45, 35), 0},
      {"mating quiet move", {57, 51, 0, QUIET}, 9500, g8f6, b8c6, move_key(57, 51), 4},
      {"mating quiet move onto the last square", {62, 28, 0, QUIET}, 9500, move_key(62, 28), g8f6,
       move_key(57, 51), 4},
  };
  for (const Case& c : cases) {
    const uint16_t key = move_key(c.move.from, c.move.to);
    history[BLACK][key] = -3000;
    update_move_tables(BLACK, c.move, c.score);
    EXPECT_EQ(killer1[2], c.killer_1) << c.name;
    EXPECT_EQ(killer2[2], c.killer_2) << c.name;
    EXPECT_EQ(mate_killer[2], c.mate) << c.name;
    EXPECT_EQ(history[BLACK][key], -3000 + c.history_gain) << c.name;
  }
  ply = 1;
}

}  // namespace
