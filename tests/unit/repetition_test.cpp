// Repetitions counted from the game record: only positions with the same
// side to move, and none from before an irreversible move.
#include <sstream>
#include <string>

#include "board/repetition.h"
#include "board_fixture.h"

namespace {

class Repetition : public BoardTest {};

TEST_F(Repetition, CountsOnlyTheSameSideToMoveSinceTheLastIrreversibleMove) {
  struct Case {
    const char* fen;
    const char* moves;  // white first
    int irreversible;   // a game index to mark irreversible afterwards (as a null move does), 0 none
    int expected;       // repetitions_in_game(2)
  };
  const Case cases[] = {
      // Knights out and back once, then twice.
      {"4k1n1/8/8/8/8/8/8/4K1N1 w - -", "g1f3 g8f6 f3g1 f6g8", 0, 1},
      {"4k1n1/8/8/8/8/8/8/4K1N1 w - -", "g1f3 g8f6 f3g1 f6g8 g1f3 g8f6 f3g1 f6g8", 0, 2},
      // The kings stand as at the start, but with the other side to move.
      {"4k3/8/8/8/8/8/8/4K3 w - -", "e1d1 e8d8 d1d2 d8e8 d2e1", 0, 0},
      // After a pawn move the rounds start again.
      {"4k1n1/7p/8/8/8/8/8/4K1N1 w - -", "g1f3 g8f6 f3g1 f6g8 g1f3 h7h6 f3g1 g8f6 g1f3 f6g8 f3g1", 0, 1},
      {"4k1n1/7p/8/8/8/8/8/4K1N1 w - -", "g1f3 h7h6 f3g1 g8f6 g1f3 f6g8 f3g1 g8f6 g1f3 f6g8", 0, 2},
      // Nothing from before an irreversible move counts.
      {"4k1n1/8/8/8/8/8/8/4K1N1 w - -", "g1f3 g8f6 f3g1 f6g8 g1f3 g8f6 f3g1 f6g8", 4, 1},
      {"4k1n1/8/8/8/8/8/8/4K1N1 w - -", "g1f3 g8f6 f3g1 f6g8 g1f3 g8f6 f3g1 f6g8", 5, 0},
  };
  for (const Case& c : cases) {
    set_fen(c.fen);
    std::istringstream moves(c.moves);
    uint8_t side = WHITE;
    for (std::string text; moves >> text; side ^= 1) play(side, text.c_str());
    if (c.irreversible != 0) irreversible_index = static_cast<int16_t>(c.irreversible);
    EXPECT_EQ(repetitions_in_game(2), c.expected) << c.fen << " after " << c.moves;
    EXPECT_EQ(repetitions_in_game(1), c.expected > 0 ? 1 : 0) << c.fen << " after " << c.moves;
  }
}

TEST_F(Repetition, FiftyMovesAreAHundredReversiblePlies) {
  set_fen("4k3/8/8/8/8/8/8/R3K3 w - -");
  irreversible_index = 1;
  game_index = 100;
  EXPECT_FALSE(fifty_moves_passed());
  game_index = 101;
  EXPECT_TRUE(fifty_moves_passed());
  game_index = irreversible_index = 0;
}

}  // namespace
