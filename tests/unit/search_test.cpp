// The main and quiescence searches, driven from a root-like set-up: ply 1,
// a root move made, the child searched at ply 2.
#include <string>
#include <vector>

#include "search_control.h"
#include "board/attacks.h"
#include "board/make_move.h"
#include "board/movegen.h"
#include "board/position_check.h"
#include "board_fixture.h"
#include "protocol/input.h"
#include "search/helper_threads.h"
#include "search/search.h"
#include "search/tt.h"
#include "settings.h"
#include "tests/mate_problems.h"
#include "tools/std_streams.h"

namespace {

class SearchTest : public BoardTest {
 protected:
  void SetUp() override {
    BoardTest::SetUp();
    reset_search_state();
  }
  void TearDown() override {
    search_matt_in = 15;
    contempt = 0;
    iteration_depth = 0;
    clock_active = 0;
    time_allotted = 999999900;
    search_aborted = stop_requested = 0;
  }

 public:
  static void reset_search_state() {
    for (int p = 0; p < PLY_SLOTS; p++) {
      horizon[p] = ext_count[p] = material_diff[p] = 0;
      check_count[p] = null_ply[p] = 0;
      node_flags[p] = 0;
      capture_marker[p] = 255;
      killer1[p] = killer2[p] = mate_killer[p] = 0;
    }
    probe_ply[0] = probe_ply[1] = 0;
    null_move_count[0] = null_move_count[1] = 0;
    reset_history();
    hash_move = 0;
    last_to_square = 255;
    search_aborted = stop_requested = 0;
    nodes = 0;
    next_poll_nodes = UINT32_MAX;  // no polling: stdin is not ours here
    seldepth = 0;
    iteration_depth = 2;
    tt_clear();
  }

  // Best mate score over all legal root moves of the side to move (at most
  // 9900 when there is none), searched to the given depth.
  static int16_t best_root_score(int depth) {
    const uint8_t side = side_to_move;
    root_side = side;
    ply = 1;
    list_start[1] = 0;
    generate_moves(side);
    const int first = list_start[1], last = list_start[2] - 1;
    int16_t best = -SCORE_INF;
    for (int i = first; i <= last; i++) {
      const Move m = move_stack[i];
      make_move(side, m);
      if (in_check(side)) {
        unmake_move(side, m);
        continue;
      }
      horizon[1] = static_cast<int16_t>(depth);
      capture_marker[1] = (m.flags & CAPTURE) ? static_cast<uint8_t>(m.to + 1) : 0;
      // As the root does: a null-window test for a mate, then the exact score.
      ply = 2;
      int16_t score = static_cast<int16_t>(-search(side ^ 1, 0, -9901, -9900));
      if (score > 9900) score = static_cast<int16_t>(-search(side ^ 1, 0, -9999, -9900));
      ply = 1;
      unmake_move(side, m);
      if (score > best) best = score;
    }
    return best;
  }

  // The best score of iterations 2 .. max_depth, the table kept between them
  // as in a real search.
  static int16_t best_over_depths(int max_depth) {
    reset_search_state();
    int16_t best = -SCORE_INF;
    for (int depth = 2; depth <= max_depth; depth++) {
      const int16_t score = best_root_score(depth);
      if (score > best) best = score;
    }
    return best;
  }

  // Searches the position as a node at `at_ply` (the side to move moves there).
  static int16_t node_score(int at_ply, int depth, int16_t alpha = -9999, int16_t beta = 9999) {
    root_side = static_cast<uint8_t>(at_ply % 2 == 1 ? side_to_move : side_to_move ^ 1);
    for (int p = 0; p < at_ply; p++) list_start[p] = 0;
    horizon[at_ply - 1] = static_cast<int16_t>(depth);
    ply = static_cast<int8_t>(at_ply);
    const int16_t score = search(side_to_move, 0, alpha, beta);
    ply = 1;
    return score;
  }
};

TEST_F(SearchTest, MatesInOneAndTwoScoreExactly) {
  const auto problems = mate_problems(2);
  ASSERT_EQ(problems.size(), 6u);
  for (const MateProblem& problem : problems) {
    set_fen(problem.fen.c_str());
    const int16_t expected = static_cast<int16_t>(MATE_SCORE - 2 * problem.moves);
    // Deeper iterations may shorten a mate found first; none may claim a
    // mate shorter than the problem's.
    int16_t found = -SCORE_INF;
    reset_search_state();
    for (int depth = 2; depth <= 2 * problem.moves + 4 && found < expected; depth++) {
      const int16_t score = best_root_score(depth);
      ASSERT_LE(score, expected) << problem.fen << " depth " << depth;
      if (score > found) found = score;
    }
    EXPECT_EQ(found, expected) << problem.fen;
    EXPECT_EQ(position_inconsistency(), nullptr);
    EXPECT_EQ(game_index, 0);
  }
}

TEST_F(SearchTest, MatesInThreeAreNeverClaimedShorter) {
  for (const MateProblem& problem : mate_problems(3)) {
    if (problem.moves != 3) continue;
    set_fen(problem.fen.c_str());
    reset_search_state();
    for (int depth = 2; depth <= 5; depth++)
      ASSERT_LE(best_root_score(depth), MATE_SCORE - 6) << problem.fen << " depth " << depth;
  }
}

TEST_F(SearchTest, MateDepthLimitsOnlyTheDefender) {
  // Mate in 2: the defender's second move would be at ply 4.
  const MateProblem problem = mate_problems(2)[1];
  ASSERT_EQ(problem.moves, 2);
  struct Case {
    int8_t limit;
    bool found;
  } cases[] = {{3, true}, {2, true}, {0, false}};
  // With 0 the defender's reply at ply 2 is already cut.
  for (const Case& c : cases) {
    set_fen(problem.fen.c_str());
    search_matt_in = c.limit;
    const int16_t score = best_over_depths(6);
    EXPECT_EQ(score == MATE_SCORE - 4, c.found) << int{c.limit} << " gave " << score;
  }
}

TEST_F(SearchTest, MateInThreeNeedsMattInTwo) {
  for (int8_t limit : {int8_t{1}, int8_t{2}}) {
    set_fen("1r5k/4NP1b/7K/8/6R1/8/8/8 w - -");  // mate in three
    search_matt_in = limit;
    const int16_t best = best_over_depths(6);
    EXPECT_EQ(best == MATE_SCORE - 6, limit == 2) << int{limit} << " gave " << best;
  }
}

TEST_F(SearchTest, CheckmatedNodeScoresByPly) {
  // Fool's mate: white to move is checkmated.
  set_fen("rnb1kbnr/pppp1ppp/8/4p3/6Pq/5P2/PPPPP2P/RNBQKBNR w KQkq -");
  search_matt_in = 1;
  EXPECT_EQ(node_score(6, 6), 6 - MATE_SCORE);  // beyond 2 x Matt_in, still mated
}

TEST_F(SearchTest, DefenderBeyondTheLimitScoresZero) {
  set_fen("4k3/8/8/8/8/8/8/R3K3 b - -");  // black to move, not in check
  search_matt_in = 1;
  EXPECT_EQ(node_score(4, 6), 0);
}

TEST_F(SearchTest, DrawsCarryTheContemptSign) {
  contempt = 25;
  // Stalemate: black to move.
  set_fen("k7/2Q5/1K6/8/8/8/8/8 b - -");
  EXPECT_EQ(node_score(2, 4), -25);  // black is not the root side
  EXPECT_EQ(node_score(3, 4), 25);   // black as the root side

  // Repetition: both knights out and back.
  set_fen("4k1n1/8/8/8/8/8/8/4K1N1 w - -");
  play(WHITE, "g1f3");
  play(BLACK, "g8f6");
  play(WHITE, "f3g1");
  play(BLACK, "f6g8");
  EXPECT_EQ(node_score(3, 4), 25);

  // Fifty moves: 100 reversible records since the last irreversible one.
  set_fen("4k3/8/8/8/8/8/8/R3K3 w - -");
  for (int i = 1; i <= 101; i++) game_record[i] = GameRecord{};
  game_index = 101;
  irreversible_index = 1;
  EXPECT_EQ(node_score(3, 4), 25);
  game_index = irreversible_index = 0;
}

TEST_F(SearchTest, NullMoveOnlyForTheDefenderWithMaterial) {
  struct Case {
    const char* fen;
    int at_ply;
    bool expect_null;
  } cases[] = {
      {"r3kb2/ppp5/8/8/8/8/PPP5/R3K3 b - -", 2, true},   // defender with a rook and more
      {"r3kb2/ppp5/8/8/8/8/PPP5/R3K3 w - -", 3, false},  // attacker
      {"4k3/ppp5/8/8/8/8/PPP5/R3K3 b - -", 2, false},    // no pieces
      {"r2nk3/ppp5/8/8/8/8/PPP5/R3K3 b - -", 2, true},   // rook and knight
      {"4k2r/ppp5/8/8/8/8/PPP5/4K3 b - -", 2, false},    // rook only: 525 is not more than a rook
      {"r3k3/ppp5/8/8/8/8/PPP5/4R1K1 b - -", 2, false},   // in check
  };
  for (const Case& c : cases) {
    set_fen(c.fen);
    reset_search_state();
    const uint8_t side = side_to_move;
    node_score(c.at_ply, c.at_ply + 1);  // the grandchildren are beyond the horizon
    EXPECT_EQ(null_move_count[side] > 0, c.expect_null) << c.fen;
  }
}

TEST_F(SearchTest, FailLowNodeStoresNothing) {
  set_fen("r3k3/ppp5/8/8/8/8/PPP5/R3K3 b - -");
  const uint32_t lock = hash_lock;
  const int16_t score = node_score(2, 4, 5000, 5001);
  EXPECT_LT(score, 5000);
  ASSERT_EQ(hash_lock, lock);
  EXPECT_EQ(tt_probe_slot(BLACK), nullptr);
}

TEST_F(SearchTest, MateThreatIsStoredAndSkipsTheNullMove) {
  // Black to move is threatened by Rb8 mate: the null move finds it.
  set_fen("6k1/5ppp/8/8/7n/2b5/5PPP/1R4K1 b - -");
  node_score(2, 4, -9901, -9900);  // the window of the root's mate test
  const TtEntry* entry = tt_probe_slot(BLACK);
  ASSERT_NE(entry, nullptr);
  EXPECT_TRUE(entry->flags & MATE_THREAT);
}

TEST_F(SearchTest, PerpetualCheckNeedsSevenQuietChecksByOnePiece) {
  set_fen("4k3/8/8/8/8/8/8/R3K3 w - -");
  const int p = 15;
  ply = p;
  auto prepare = [&] {
    for (int q = 0; q < PLY_SLOTS; q++) node_flags[q] = 0, capture_marker[q] = 0;
    check_count[p - 1] = 7;
    for (int k = 0; k < 7; k++) node_flags[p - 1 - 2 * k] = IN_CHECK;
    game_index = 20;
    // The attacker's moves at g-9, g-7, ..., g-1 chain a1-a2-a3-a4-a5-a6.
    for (int k = 0; k < 5; k++) {
      const int from = 8 * k, to = 8 * (k + 1);
      game_record[game_index - 9 + 2 * k].move_key = move_key(from, to);
    }
  };
  prepare();
  EXPECT_TRUE(perpetual_check(WHITE));
  prepare();
  capture_marker[p - 5] = 12;
  EXPECT_FALSE(perpetual_check(WHITE));
  prepare();
  node_flags[p - 13] = 0;
  EXPECT_FALSE(perpetual_check(WHITE));
  prepare();
  game_record[game_index - 5].move_key = move_key(40, 41);
  EXPECT_FALSE(perpetual_check(WHITE));
  prepare();
  check_count[p - 1] = 6;
  EXPECT_FALSE(perpetual_check(WHITE));
  game_index = 0;
  ply = 1;
}

TEST_F(SearchTest, QuiescenceDefenderNotInCheckScoresZero) {
  set_fen("q3k3/8/8/8/8/8/8/4K3 b - -");
  root_side = WHITE;
  horizon[1] = 0;
  ply = 2;
  EXPECT_EQ(quiesce(BLACK, -9999, 9999, 0), 0);
  ply = 1;
}

TEST_F(SearchTest, QuiescenceQuietChecksOnlyNearTheHorizon) {
  set_fen("6k1/5ppp/8/8/8/8/8/Q5K1 w - -");  // Qa8 mates
  root_side = WHITE;
  struct Case {
    int16_t horizon;
    int16_t expected;
  } cases[] = {{2, MATE_SCORE - 4}, {-2, MATE_SCORE - 4}, {-3, 700}};
  for (const Case& c : cases) {
    reset_search_state();
    horizon[2] = c.horizon;
    ply = 3;
    EXPECT_EQ(quiesce(WHITE, -9999, 9999, 0), c.expected) << c.horizon;
    ply = 1;
  }
}

// A stop read from the input mid-search: every open node returns 0 and the
// position is as it was at the root.
TEST_F(SearchTest, AbortRestoresThePosition) {
  ASSERT_TRUE(stdin_from_pipe("stop\n"));
  reset_input();  // an earlier test may have read the runner's input to its end

  set_fen("r1bqkbnr/pppp1ppp/2n5/4p3/2B1P3/5Q2/PPPP1PPP/RNB1K1NR w KQkq -");
  const uint32_t key = hash_key, lock = hash_lock;
  uint8_t board_before[64];
  std::memcpy(board_before, board, sizeof(board));
  next_poll_nodes = 5000;
  iteration_depth = 6;
  const int16_t score = node_score(2, 12);
  EXPECT_EQ(score, 0);
  EXPECT_EQ(search_aborted, 1);
  EXPECT_EQ(ply, 1);
  EXPECT_EQ(game_index, 0);
  EXPECT_EQ(hash_key, key);
  EXPECT_EQ(hash_lock, lock);
  EXPECT_EQ(std::memcmp(board, board_before, sizeof(board)), 0);
  EXPECT_EQ(position_inconsistency(), nullptr);

  stdin_restore();
}

// A helper polls on its own count, whatever its node count: even wrapped
// to 0, it never takes the main thread's stop request for itself.
TEST_F(SearchTest, AHelperLeavesTheStopRequestAlone) {
  helper_thread = true;
  iteration_depth = 6;
  next_poll_nodes = 0;
  for (uint32_t count : {0u, 1u, UINT32_MAX}) {
    nodes = count;
    stop_requested = 1;
    poll_and_stop();
    EXPECT_EQ(stop_requested, 1) << count;
  }
  helper_thread = false;
  stop_requested = 0;
}

}  // namespace
