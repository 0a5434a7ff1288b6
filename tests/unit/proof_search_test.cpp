// The proof-number solver against the exhaustive judge on the tests' own
// rules; its proof lines replayed and confirmed by the exact prover; its
// turns resumed from the table.
#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <string>
#include <thread>

#include "search_control.h"
#include "board_fixture.h"
#include "board/make_move.h"
#include "board/position_check.h"
#include "tests/mate_problems.h"
#include "search/mate_prover.h"
#include "search/helper_threads.h"
#include "search/proof_line.h"
#include "search/proof_search.h"
#include "search/proof_table.h"
#include "search/solver_jobs.h"
#include "tools/chess_rules.h"
#include "settings.h"
#include "tools/mate_judge.h"
#include "tools/mate_line.h"

namespace {

class ProofSearch : public BoardTest {
 protected:
  void SetUp() override {
    BoardTest::SetUp();
    solver_table_clear();
    prover_clear();
    search_aborted = 0;
    stop_requested = 0;
  }
  // The solver's answer for the side to move of `fen`, generating above the
  // root's slice as it does at the root.
  static SolverState solve(const char* fen, int moves, uint32_t budget = 100000000) {
    set_fen(fen);
    generate_moves(side_to_move);
    solver_start(side_to_move, moves, 2);
    return solver_run(budget, INT32_MAX);
  }
  // After SOLVER_MATE: the proof's line in coordinate text, the root move
  // first, and its distance in *moves.
  static std::string proof_text(int* moves) {
    const uint8_t attacker = side_to_move;
    const Move root = solver_mating_move();
    make_move(attacker, root);
    uint16_t keys[PLY_SLOTS + 1], flags[PLY_SLOTS + 1];
    ply = 2;
    *moves = proof_line(attacker, PROOF_FROM_SOLVER, MAX_PLY, 2, MAX_PLY - 2, keys, flags);
    ply = 1;
    unmake_move(attacker, root);
    std::string text = text_of(root);
    for (int i = 2; i < 2 * *moves; i++) {
      text += ' ';
      text += text_of(Move{static_cast<int8_t>(key_from(keys[i])), static_cast<int8_t>(key_to(keys[i])), 0, flags[i]});
    }
    return text;
  }
};

TEST_F(ProofSearch, AgreesWithBruteForceAndItsLinesMate) {
  MateJudge judge;
  for (const char* fen : BRUTE_FORCE_FENS) {
    rules::Position p;
    ASSERT_TRUE(rules::set_fen(&p, fen)) << fen;
    for (int k = 1; k <= 3; k++) {
      const bool mates = judge.mates(p, k);
      const SolverState state = solve(fen, k);
      ASSERT_EQ(state, mates ? SOLVER_MATE : SOLVER_NO_MATE) << fen << " in " << k;
      EXPECT_TRUE(position_consistent()) << fen;
      if (!mates) continue;
      int moves = 0;
      const std::string line = proof_text(&moves);
      EXPECT_GE(moves, 1) << fen;
      EXPECT_LE(moves, k) << fen;
      EXPECT_EQ(moves, solver_mate_distance()) << fen << ": " << line;
      EXPECT_EQ(check_mate_line(fen, line.c_str(), moves), LINE_GOOD) << fen << ": " << line;
    }
  }
}

// The shortest problems of the suite: a mate at the known distance, none
// one move sooner.
TEST_F(ProofSearch, ShortProblemsAtTheirDistanceAndNoSooner) {
  for (const MateProblem& problem : mate_problems(3)) {
    const char* fen = problem.fen.c_str();
    ASSERT_EQ(solve(fen, problem.moves), SOLVER_MATE) << fen;
    EXPECT_EQ(solver_mate_distance(), problem.moves) << fen;
    int moves = 0;
    const std::string line = proof_text(&moves);
    EXPECT_EQ(check_mate_line(fen, line.c_str(), problem.moves), LINE_GOOD) << fen << ": " << line;
    if (problem.moves > 1) {
      EXPECT_EQ(solve(fen, problem.moves - 1), SOLVER_NO_MATE) << fen;
    }
  }
}

// A mate in 20 that a full-width search could not reach: its line plays out,
// and the exact prover, led by the solver's table, confirms every defence.
TEST_F(ProofSearch, LongMateIsProvenAndConfirmed) {
  const char* fen = "3nn3/2p2p2/6p1/n1PB3n/3BK3/1P2NRP1/3pNPnk/3n3b w - - 0 1";
  ASSERT_EQ(solve(fen, 20), SOLVER_MATE);
  ASSERT_EQ(solver_mate_distance(), 20);
  int moves = 0;
  const std::string line = proof_text(&moves);
  ASSERT_EQ(moves, 20);
  EXPECT_EQ(check_mate_line(fen, line.c_str(), 20), LINE_GOOD) << line;

  const Move root = solver_mating_move();
  make_move(WHITE, root);
  ply = 2;
  prover_begin(4000000);
  EXPECT_EQ(defender_loses(WHITE, 19), PROOF_MATES);
  // A proof whose entries are gone is no proof: no line, no length.
  solver_table_clear();
  uint16_t keys[PLY_SLOTS + 1], flags[PLY_SLOTS + 1];
  EXPECT_EQ(proof_line(WHITE, PROOF_FROM_SOLVER, MAX_PLY, 2, MAX_PLY - 2, keys, flags), 0);
  ply = 1;
  unmake_move(WHITE, root);
  EXPECT_TRUE(position_consistent());
}

// Small turns get where one long turn gets, and leave the search state as
// they found it.
TEST_F(ProofSearch, TurnsResumeFromTheTable) {
  const MateProblem problem{"1Q6/6p1/4n1p1/4p3/3Ppbp1/4pkN1/4N3/5K2 w - - 0 1", 4};
  const char* fen = problem.fen.c_str();
  ASSERT_EQ(solve(fen, problem.moves), SOLVER_MATE) << fen;
  const int distance = solver_mate_distance();

  solver_table_clear();
  set_fen(fen);
  generate_moves(side_to_move);
  const int root_end = list_start[2];
  hash_move = 77;
  solver_start(side_to_move, problem.moves, 2);
  int turns = 0;
  while (solver_run(1000, INT32_MAX) == SOLVER_OPEN) {
    turns++;
    EXPECT_EQ(ply, 1);
    EXPECT_EQ(hash_move, 77);
    EXPECT_EQ(list_start[2], root_end);
    ASSERT_LT(turns, 100000);
  }
  EXPECT_GT(turns, 1);
  EXPECT_EQ(solver_state(), SOLVER_MATE);
  EXPECT_EQ(solver_mate_distance(), distance);
  EXPECT_TRUE(position_consistent());
}

// Where the solver works: a spare thread is its own whatever the options
// say; with one thread it takes turns only when wanted, and when the system
// gives no thread it falls back the same way.
TEST_F(ProofSearch, TheSolverTakesASpareThreadAndTurnsOnlyWhenWanted) {
  struct Case {
    SolverWish wish;
    int32_t threads;
    SolverPlace planned, without_thread;
  };
  const Case cases[] = {
      {SOLVER_UNWANTED, 2, SOLVER_OFF, SOLVER_OFF},
      {SOLVER_IF_SPARE_THREAD, 1, SOLVER_OFF, SOLVER_OFF},
      {SOLVER_IF_SPARE_THREAD, 2, SOLVER_ON_THREAD, SOLVER_OFF},
      {SOLVER_WANTED, 1, SOLVER_IN_TURNS, SOLVER_IN_TURNS},
      {SOLVER_WANTED, 2, SOLVER_ON_THREAD, SOLVER_IN_TURNS},
  };
  const int32_t threads = thread_count;
  for (const Case& c : cases) {
    thread_count = c.threads;
    solver_jobs_begin(c.wish);
    const SolverPlace planned = SEARCH_THREADS_AVAILABLE || c.planned != SOLVER_ON_THREAD ? c.planned : c.without_thread;
    EXPECT_EQ(solver_place, planned) << c.wish << " with " << c.threads;
    // No helper was started: a planned thread is missing.
    EXPECT_EQ(solver_thread_missing(), planned == SOLVER_ON_THREAD && c.without_thread == SOLVER_IN_TURNS);
    EXPECT_EQ(solver_place, c.without_thread) << c.wish << " with " << c.threads;
  }
  solver_jobs_begin(SOLVER_UNWANTED);
  thread_count = threads;
}

// On a thread of its own the solver works in turns: a job longer than one
// turn is settled all the same, and go mate N gets its answer.
TEST_F(ProofSearch, TheSolverThreadSettlesAJobLongerThanATurn) {
  if (!SEARCH_THREADS_AVAILABLE) GTEST_SKIP() << "one search thread in this build";
  set_fen("1Q6/6p1/4n1p1/4p3/3Ppbp1/4pkN1/4N3/5K2 w - - 0 1");
  generate_moves(side_to_move);
  const int32_t threads = thread_count;
  thread_count = 2;
  solver_thread_turn = 1000;
  solver_jobs_begin(SOLVER_WANTED);
  ASSERT_EQ(solver_place, SOLVER_ON_THREAD);
  helpers_start(side_to_move);
  ASSERT_FALSE(solver_thread_missing());
  solver_post(side_to_move, 4);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
  while (solver_job_state() == SOLVER_OPEN && std::chrono::steady_clock::now() < deadline)
    std::this_thread::yield();
  EXPECT_EQ(solver_job_state(), SOLVER_MATE);
  helpers_stop();
  solver_thread_turn = SOLVER_THREAD_TURN;
  solver_jobs_begin(SOLVER_UNWANTED);
  thread_count = threads;
}

}  // namespace
