// The exact mate prover against the exhaustive judge on the tests' own
// rules, and the lines built from it.
#include <gtest/gtest.h>

#include "board_fixture.h"
#include "board/make_move.h"
#include "board/position_check.h"
#include "board/rights.h"
#include "driver/shown_line.h"
#include "search/mate_prover.h"
#include "search/tt.h"
#include "tests/mate_problems.h"
#include "tools/chess_rules.h"
#include "tools/mate_judge.h"
#include "tools/std_streams.h"

namespace {

class MateProver : public BoardTest {
 protected:
  // The prover polls the input as it works: it gets a quiet one of its own.
  void SetUp() override {
    BoardTest::SetUp();
    prover_clear();
    tt_clear();
    ASSERT_TRUE(stdin_from_pipe(""));
  }
  void TearDown() override { stdin_restore(); }
  // The prover's answer for the side to move of `fen`, with the generation
  // starting above the root's slice as it does at the root.
  static ProofResult prove(const char* fen, int moves, uint32_t budget = 10000000) {
    set_fen(fen);
    generate_moves(side_to_move);  // the root's list, kept intact below
    ply = 2;
    prover_begin(budget);
    const ProofResult r = attacker_mates(side_to_move, moves, nullptr);
    ply = 1;
    return r;
  }
};

TEST_F(MateProver, AgreesWithBruteForce) {
  MateJudge judge;
  for (const char* fen : BRUTE_FORCE_FENS) {
    rules::Position p;
    ASSERT_TRUE(rules::set_fen(&p, fen)) << fen;
    for (int k = 1; k <= 3; k++) {
      const ProofResult r = prove(fen, k);
      EXPECT_EQ(r, judge.mates(p, k) ? PROOF_MATES : PROOF_FAILS) << fen << " in " << k;
      EXPECT_TRUE(position_consistent()) << fen;
    }
  }
}

TEST_F(MateProver, StalemateIsNoMateAndCheckmateNeedsCheck) {
  // Kc7 / Qb6 would stalemate; Qb7 mates.
  EXPECT_EQ(prove("k7/8/1QK5/8/8/8/8/8 w - - 0 1", 1), PROOF_MATES);
  EXPECT_EQ(prove("k7/8/2K5/8/8/8/8/1Q6 b - - 0 1", 1), PROOF_FAILS);
}

TEST_F(MateProver, AnExhaustedBudgetIsUnknownNotFalse) {
  EXPECT_EQ(prove("6k1/2R5/8/5P2/5R2/2K5/1p6/8 w - - 0 1", 3, 50), PROOF_UNKNOWN);
  EXPECT_TRUE(prover_exhausted());
  // The partial work left no false fact behind.
  EXPECT_EQ(prove("6k1/2R5/8/5P2/5R2/2K5/1p6/8 w - - 0 1", 3), PROOF_MATES);
}

TEST_F(MateProver, LeavesTheSearchStateAsItFoundIt) {
  set_fen("k7/2R5/3P3K/8/8/8/8/8 w - - 0 1");
  generate_moves(side_to_move);
  Move d7{};
  for (int i = list_start[1]; i < list_start[2]; i++)
    if (text_of(move_stack[i]) == "d6d7") d7 = move_stack[i];
  const int root_moves = list_start[2];
  make_move(WHITE, d7);
  nodes = 1234;
  hash_move = 77;
  ShownLine line{};
  build_shown_line(WHITE, d7, 9996, SHOWN_EXACT, &line);
  EXPECT_EQ(nodes, 1234u);
  EXPECT_EQ(hash_move, 77);
  EXPECT_EQ(ply, 1);
  EXPECT_EQ(list_start[2], root_moves);
  ASSERT_EQ(line.kind, SHOWN_EXACT);
  EXPECT_EQ(text_of(Move{static_cast<int8_t>(key_from(line.moves[3])), static_cast<int8_t>(key_to(line.moves[3])), 0,
                         line.flags[3]}),
            "d7d8q");
  EXPECT_EQ(line.moves[4], 0);
  unmake_move(WHITE, d7);
  EXPECT_TRUE(position_consistent());
}

TEST_F(MateProver, AClaimThatIsShorterIsShownShorterAndAFalseOneNotAtAll) {
  set_fen("6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1");
  generate_moves(side_to_move);
  Move a8{}, a7{};
  for (int i = list_start[1]; i < list_start[2]; i++) {
    if (text_of(move_stack[i]) == "a1a8") a8 = move_stack[i];
    if (text_of(move_stack[i]) == "a1a7") a7 = move_stack[i];
  }
  ShownLine line{};
  make_move(WHITE, a8);
  shown_lines_forget();
  build_shown_line(WHITE, a8, 9994, SHOWN_EXACT, &line);  // claimed mate in 3, is mate in 1
  EXPECT_EQ(line.kind, SHOWN_EXACT);
  EXPECT_EQ(line.score, 9998);
  unmake_move(WHITE, a8);
  make_move(WHITE, a7);
  build_shown_line(WHITE, a7, 9996, SHOWN_EXACT, &line);  // no mate in 2 after Ra7
  EXPECT_EQ(line.kind, SHOWN_NONE);
  unmake_move(WHITE, a7);
}

// The table's entries may belong to the same placement with other rights,
// or be torn or forged: a claim they all agree with is still proven on the
// board. With Black's right to castle, 1.Rd7 mates in 4, not 3 (1...f5!).
TEST_F(MateProver, AClaimTheTableVouchesForIsProvenOnTheBoard) {
  set_fen("4k2r/1pK2R2/1p3p2/8/8/6R1/8/8 w k - 0 1");
  generate_moves(side_to_move);
  const Move d7 = find_move("f7d7");
  make_move(WHITE, d7);
  // Entries along 1...Kf8 2.Ra3 Rh7 3.Ra8#, each agreeing with a mate in 3.
  const char* line[] = {"e8f8", "g3a3", "h8h7", "a3a8"};
  std::vector<Move> played;
  for (int i = 0; i < 4; i++) {
    const uint8_t mover = (i & 1) == 0 ? BLACK : WHITE;
    const int index = i + 2;
    const int16_t seen = static_cast<int16_t>(mover == WHITE ? MATE_SCORE - 6 : 6 - MATE_SCORE);
    const int16_t stored = static_cast<int16_t>(mover == WHITE ? seen + index : seen - index);
    ply = static_cast<int8_t>(index);
    generate_moves(mover);
    const Move m = find_move(line[i]);
    tt_write(tt_table[mover][hash_key & hash_mask],
             TtEntry{hash_lock, move_key(m.from, m.to), stored, TT_EXACT, 20, tt_age, rights_tag()});
    make_move(mover, m);
    played.push_back(m);
  }
  for (int i = 3; i >= 0; i--) unmake_move((i & 1) == 0 ? BLACK : WHITE, played[i]);
  ply = 1;
  ShownLine shown{};
  shown_lines_forget();
  build_shown_line(WHITE, d7, MATE_SCORE - 6, SHOWN_EXACT, &shown);
  EXPECT_EQ(shown.kind, SHOWN_NONE);
  build_shown_line(WHITE, d7, MATE_SCORE - 8, SHOWN_EXACT, &shown);
  EXPECT_EQ(shown.kind, SHOWN_EXACT);
  EXPECT_EQ(shown.score, MATE_SCORE - 8);
  unmake_move(WHITE, d7);
  EXPECT_TRUE(position_consistent());
}

// A line shown once is kept for its position: the same placement with other
// rights is another position, and gets a proof of its own.
TEST_F(MateProver, ALineShownForOtherRightsIsNotShownAgain) {
  const struct {
    const char* fen;
    uint8_t kind;  // of the mate in 3 after 1.Rd7
  } cases[] = {{"4k2r/1pK2R2/1p3p2/8/8/6R1/8/8 w - - 0 1", SHOWN_EXACT},
               {"4k2r/1pK2R2/1p3p2/8/8/6R1/8/8 w k - 0 1", SHOWN_NONE}};
  ShownLine shown{};
  shown_lines_forget();
  for (const auto& c : cases) {
    set_fen(c.fen);
    generate_moves(side_to_move);
    const Move d7 = find_move("f7d7");
    make_move(WHITE, d7);
    build_shown_line(WHITE, d7, MATE_SCORE - 6, SHOWN_EXACT, &shown);
    unmake_move(WHITE, d7);
    EXPECT_EQ(shown.kind, c.kind) << c.fen;
  }
}

}  // namespace
