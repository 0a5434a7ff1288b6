// The independent rules that judge the engine's mate lines: leaf counts of the
// perft suite, the castling, en-passant and promotion cases a careless
// generator gets wrong, and the FENs they refuse.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "tests/mate_problems.h"
#include "tests/perft_suite.h"
#include "tools/chess_rules.h"

namespace {

// Leaf budget of one perft line: the whole suite stays quick even under the
// sanitizers.
constexpr uint64_t MAX_LEAVES = 30000;

uint64_t perft(const rules::Position& pos, int depth) {
  rules::MoveList list;
  rules::legal_moves(pos, &list);
  if (depth == 1) return static_cast<uint64_t>(list.count);
  uint64_t leaves = 0;
  for (int i = 0; i < list.count; i++) {
    rules::Position next = pos;
    rules::play_move(&next, list.moves[i]);
    leaves += perft(next, depth - 1);
  }
  return leaves;
}

rules::Position position(const char* fen) {
  rules::Position pos;
  EXPECT_TRUE(rules::set_fen(&pos, fen)) << fen;
  return pos;
}

// The legal moves as sorted text.
std::vector<std::string> move_texts(const rules::Position& pos) {
  rules::MoveList list;
  rules::legal_moves(pos, &list);
  std::vector<std::string> texts;
  for (int i = 0; i < list.count; i++) {
    char text[rules::MOVE_TEXT_SIZE];
    rules::move_text(list.moves[i], text);
    texts.push_back(text);
  }
  std::sort(texts.begin(), texts.end());
  return texts;
}

bool lists(const rules::Position& pos, const char* move) {
  const std::vector<std::string> texts = move_texts(pos);
  return std::find(texts.begin(), texts.end(), move) != texts.end();
}

TEST(ChessRules, PerftSuiteMatchesKnownCounts) {
  const std::vector<PerftLine> suite = perft_suite();
  ASSERT_EQ(suite.size(), 127u);
  int compared = 0;
  for (const PerftLine& line : suite) {
    const rules::Position pos = position(line.fen.c_str());
    for (auto [depth, expected] : line.counts) {
      if (expected > MAX_LEAVES) break;
      EXPECT_EQ(perft(pos, depth), expected) << line.fen << " depth " << depth;
      compared++;
    }
  }
  // Every line reaches depth 2 at least, most of them depth 4 or more.
  EXPECT_GT(compared, 4 * 127) << compared;
}

struct MoveCase {
  const char* fen;
  const char* move;
  bool legal;
  const char* why;
};

TEST(ChessRules, CastlingAndEnPassantConditions) {
  const MoveCase cases[] = {
      {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "e1g1", true, "short castling"},
      {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "e1c1", true, "long castling"},
      {"r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1", "e8g8", true, "black short castling"},
      {"r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1", "e8c8", true, "black long castling"},
      {"r3k2r/8/8/8/8/8/8/R3K2R w Qkq - 0 1", "e1g1", false, "no right"},
      {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "e1h1", false, "the rook's square is no castling text"},
      {"r3k2r/8/8/8/8/8/8/R3K1NR w KQkq - 0 1", "e1g1", false, "a piece in the way"},
      {"r3k2r/8/8/8/8/8/8/RN2K2R w KQkq - 0 1", "e1c1", false, "a piece on b1"},
      {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "e1f1", true, "the king's plain step"},
      {"4k3/8/8/8/8/8/8/R3K2R w KQ - 0 1", "e1g1", true, "rights without the other side's"},
      {"4k3/8/8/8/8/5r2/8/R3K2R w KQ - 0 1", "e1g1", false, "through check on f1"},
      {"4k3/8/8/8/8/6r1/8/R3K2R w KQ - 0 1", "e1g1", false, "into check on g1"},
      {"4k3/8/8/8/8/4r3/8/R3K2R w KQ - 0 1", "e1g1", false, "out of check"},
      {"4k3/8/8/8/8/4r3/8/R3K2R w KQ - 0 1", "e1c1", false, "out of check, long"},
      {"4k3/8/8/8/8/3r4/8/R3K2R w KQ - 0 1", "e1c1", false, "through check on d1"},
      {"4k3/8/8/8/8/1r6/8/R3K2R w KQ - 0 1", "e1c1", true, "b1 attacked: the king does not pass it"},
      {"4k3/8/8/8/8/7r/8/R3K2R w KQ - 0 1", "e1g1", true, "the rook attacked"},
      {"r3k2r/8/8/4B3/8/8/8/4K3 b kq - 0 1", "e8c8", true, "b8 attacked"},
      {"r3k2r/8/8/4B3/8/8/8/4K3 b kq - 0 1", "e8g8", true, "the h8 rook attacked"},
      {"r3k2r/8/8/8/8/8/8/2R1K3 b kq - 0 1", "e8c8", false, "black into check on c8"},
      {"r3k2r/8/8/8/B7/8/8/4K3 b kq - 0 1", "e8g8", false, "a4 checks e8"},
      {"4k3/8/8/KPp4r/8/8/8/8 w - c6 0 2", "b5c6", false, "en passant uncovers the king on the rank"},
      {"4k3/8/8/KPp5/8/8/8/8 w - c6 0 2", "b5c6", true, "en passant"},
      {"4k3/8/8/KPp5/8/8/8/8 w - - 0 2", "b5c6", false, "en passant without the square"},
      {"4k3/4b3/8/2pP4/8/K7/8/8 w - c6 0 2", "d5c6", false, "the taken pawn shielded the king"},
      {"3rk3/8/8/2pP4/8/8/8/3K4 w - c6 0 2", "d5c6", false, "the capturing pawn is pinned"},
      {"4k3/8/8/2pP4/1K6/8/8/8 w - c6 0 2", "d5c6", true, "en passant takes the checking pawn"},
      {"4k3/8/8/8/2pP4/8/8/4K3 b - d3 0 1", "c4d3", true, "black en passant"},
      {"4k3/8/8/8/2pP4/8/8/4K3 b - d3 0 1", "c4c3", true, "the pawn's plain step"},
      {"8/8/8/8/1k1pP2Q/8/8/K7 b - e3 0 1", "d4e3", false, "black en passant uncovers the king"},
  };
  for (const MoveCase& c : cases) {
    const rules::Position pos = position(c.fen);
    EXPECT_EQ(lists(pos, c.move), c.legal) << c.why << ": " << c.fen << " " << c.move;
  }
}

TEST(ChessRules, CastlingMovesTheRookAndRightsLapse) {
  rules::Position pos = position("r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1");
  ASSERT_TRUE(rules::play(&pos, "e1c1"));
  EXPECT_EQ(pos.cell[rules::cell_of(3, 0)], rules::ROOK);
  EXPECT_EQ(pos.cell[rules::cell_of(0, 0)], rules::EMPTY);
  EXPECT_EQ(pos.cell[rules::cell_of(2, 0)], rules::KING);
  // The h8 rook takes on h1 and so gives up black's short castling.
  ASSERT_TRUE(rules::play(&pos, "h8h1"));
  EXPECT_FALSE(lists(pos, "e8g8")) << "the h8 rook has left";
  ASSERT_TRUE(rules::play(&pos, "d1h1"));
  EXPECT_TRUE(lists(pos, "e8c8"));
  ASSERT_TRUE(rules::play(&pos, "e8d8"));
  ASSERT_TRUE(rules::play(&pos, "h1h2"));
  ASSERT_TRUE(rules::play(&pos, "d8e8"));
  ASSERT_TRUE(rules::play(&pos, "h2h3"));
  EXPECT_FALSE(lists(pos, "e8c8")) << "the king went and came back";

  // A rook taken at home takes the right with it, and en passant lasts one move.
  pos = position("r3k2r/8/8/8/8/8/1p6/R3K2R b KQkq - 0 1");
  ASSERT_TRUE(rules::play(&pos, "b2a1n"));
  EXPECT_FALSE(pos.castle[rules::WHITE_LONG]);
  EXPECT_TRUE(lists(pos, "e1g1"));
  pos = position("4k3/3p4/8/4P3/8/8/8/4K3 b - - 0 1");
  ASSERT_TRUE(rules::play(&pos, "d7d5"));
  EXPECT_TRUE(lists(pos, "e5d6"));
  ASSERT_TRUE(rules::play(&pos, "e1e2"));
  ASSERT_TRUE(rules::play(&pos, "e8e7"));
  EXPECT_FALSE(lists(pos, "e5d6"));
}

TEST(ChessRules, PromotionsNameTheirPiece) {
  const rules::Position pos = position("1n2k3/P7/8/8/8/8/8/4K3 w - - 0 1");
  std::vector<std::string> pawn;
  for (const std::string& text : move_texts(pos))
    if (text.compare(0, 2, "a7") == 0) pawn.push_back(text);
  EXPECT_EQ(pawn, (std::vector<std::string>{"a7a8b", "a7a8n", "a7a8q", "a7a8r", "a7b8b", "a7b8n", "a7b8q", "a7b8r"}));

  for (const char* refused : {"a7a8", "a7a8Q", "a7a8k", "a7a8p", "a7b8", "a7a8qq", "", "a7"}) {
    rules::Position copy = pos;
    EXPECT_FALSE(rules::play(&copy, refused)) << refused;
    EXPECT_EQ(std::memcmp(&copy, &pos, sizeof(pos)), 0) << refused << " changed the position";
  }
  rules::Position knight = pos, queen = pos;
  ASSERT_TRUE(rules::play(&knight, "a7b8n"));
  EXPECT_EQ(knight.cell[rules::cell_of(1, 7)], rules::KNIGHT);
  EXPECT_EQ(knight.cell[rules::cell_of(0, 6)], rules::EMPTY);
  EXPECT_FALSE(rules::in_check(knight));
  ASSERT_TRUE(rules::play(&queen, "a7b8q"));
  EXPECT_TRUE(rules::in_check(queen));

  rules::Position black = position("4k3/8/8/8/8/8/p7/4K3 b - - 0 1");
  ASSERT_TRUE(rules::play(&black, "a2a1r"));
  EXPECT_EQ(black.cell[rules::cell_of(0, 0)], -rules::ROOK);
  EXPECT_TRUE(rules::in_check(black));
}

TEST(ChessRules, CheckMateAndStalemate) {
  struct Case {
    const char* fen;
    bool check, mate, stale;
  };
  const Case cases[] = {
      {"rnb1kbnr/pppp1ppp/8/4p3/6Pq/5P2/PPPPP2P/RNBQKBNR w KQkq - 1 3", true, true, false},
      {"7k/5Q2/6K1/8/8/8/8/8 b - - 0 1", false, false, true},
      {"7k/5Q2/6K1/8/8/8/8/8 w - - 0 1", false, false, false},
      {"7k/6Q1/6K1/8/8/8/8/8 b - - 0 1", true, true, false},
      {"7k/6Q1/8/6K1/8/8/8/8 b - - 0 1", true, false, false},  // the king takes the queen
      {"4k3/8/8/8/8/8/8/r3K3 w - - 0 1", true, false, false},
      {"k7/8/1Q6/8/8/8/8/4K3 b - - 0 1", false, false, true},
  };
  for (const Case& c : cases) {
    const rules::Position pos = position(c.fen);
    EXPECT_EQ(rules::in_check(pos), c.check) << c.fen;
    EXPECT_EQ(rules::checkmate(pos), c.mate) << c.fen;
    EXPECT_EQ(rules::stalemate(pos), c.stale) << c.fen;
  }
}

TEST(ChessRules, ReadsFenFields) {
  rules::Position pos = position("4k3/8/8/8/4Pp2/8/8/4K2R b K e3 7 42");
  EXPECT_EQ(pos.side, rules::BLACK);
  EXPECT_TRUE(pos.castle[rules::WHITE_SHORT]);
  EXPECT_FALSE(pos.castle[rules::WHITE_LONG]);
  EXPECT_EQ(pos.ep, rules::cell_of(4, 2));
  EXPECT_EQ(pos.halfmove, 7);
  EXPECT_EQ(pos.fullmove, 42);
  EXPECT_EQ(pos.cell[rules::cell_of(7, 0)], rules::ROOK);
  EXPECT_EQ(pos.cell[rules::cell_of(5, 3)], -rules::PAWN);

  pos = position("  4k3/8/8/8/8/8/8/4K3\tw - -  \n");
  EXPECT_EQ(pos.halfmove, 0);
  EXPECT_EQ(pos.fullmove, 1);
  ASSERT_TRUE(rules::play(&pos, "e1e2"));
  ASSERT_TRUE(rules::play(&pos, "e8e7"));
  EXPECT_EQ(pos.halfmove, 2);
  EXPECT_EQ(pos.fullmove, 2);
}

TEST(ChessRules, RefusesFens) {
  const char* refused[] = {
      "",
      "4k3/8/8/8/8/8/8/4K3",                          // one field
      "4k3/8/8/8/8/8/8/4K3 w -",                      // three
      "4k3/8/8/8/8/8/8/4K3 w - - 0",                  // five
      "4k3/8/8/8/8/8/8/4K3 w - - 0 1 x",              // seven
      "4k3/8/8/8/8/8/8/4K3 x - -",                    // side
      "4k3/8/8/8/8/8/8/4K3 W - -",
      "4k3/8/8/8/8/8/8 w - -",                        // seven ranks
      "4k3/8/8/8/8/8/8/8/4K3 w - -",                  // nine
      "4k3/8/8/8/8/8/8/4K4 w - -",                    // nine files
      "4k3/8/8/8/8/8/8/4K2 w - -",                    // seven
      "4k3/8/8/8/8/8/8/44K3 w - -",                   // digits in a row
      "4k3/8/8/8/8/8/8/4K3/ w - -",
      "4k3/8/8/8/9/8/8/4K3 w - -",
      "4k3/8/8/8/0/8/8/4K3 w - -",
      "4x3/8/8/8/8/8/8/4K3 w - -",                    // piece letter
      "4k3/8/8/8/8/8/8/4K3 w KK -",                   // castling twice
      "4k3/8/8/8/8/8/8/4K3 w x -",
      "4k3/8/8/8/8/8/8/4K3 w -K -",
      "4k3/8/8/8/8/8/8/4K3 w K -",                    // no rook on h1
      "4k3/8/8/8/8/8/8/3K3R w K -",                   // no king on e1
      "r3k3/8/8/8/8/8/8/4K3 w k -",                   // no rook on h8
      "4k3/8/8/3pP3/8/8/8/4K3 w - d3",                // wrong rank for white to move
      "4k3/8/8/3pP3/8/8/8/4K3 w - d6 extra",
      "4k3/8/8/4P3/8/8/8/4K3 w - d6",                 // no pawn passed d6
      "4k3/3p4/8/3pP3/8/8/8/4K3 w - d6",              // it cannot have come from d7
      "4k3/8/8/3pP3/8/8/8/4K3 w - i6",
      "4k3/8/8/3pP3/8/8/8/4K3 w - d6x",
      "4k3/8/8/8/8/8/8/4K3 w - - -1 1",               // counters
      "4k3/8/8/8/8/8/8/4K3 w - - 0 0",
      "4k3/8/8/8/8/8/8/4K3 w - - x 1",
      "4k3/8/8/8/8/8/8/4K3 w - - 0 99999999999",
      "8/8/8/8/8/8/8/4K3 w - -",                      // no black king
      "4k3/8/8/8/8/8/8/8 w - -",
      "4k3/8/8/8/8/8/8/3KK3 w - -",                   // two white kings
      "4kk2/8/8/8/8/8/8/4K3 w - -",
      "4k3/8/8/8/8/8/8/4K2P w - -",                   // pawns on the edge ranks
      "p3k3/8/8/8/8/8/8/4K3 w - -",
      "4k3/8/8/8/8/8/8/r3K3 b - -",                   // white in check, black to move
      "4k3/4Q3/8/8/8/8/8/4K3 w - -",                  // black in check, white to move
      "4k3/8/8/8/P7/PPPPPPPP/8/4K3 w - -",            // nine pawns
      "4k3/8/8/8/8/NNNNNNNN/NNNNNNNN/4K3 w - -",      // seventeen men
  };
  for (const char* fen : refused) {
    rules::Position pos;
    EXPECT_FALSE(rules::set_fen(&pos, fen)) << fen;
  }
  rules::Position pos;
  EXPECT_FALSE(rules::set_fen(&pos, nullptr));
  const std::string long_field = "4k3/8/8/8/8/8/8/4K3 w - - " + std::string(200, '0') + " 1";
  EXPECT_FALSE(rules::set_fen(&pos, long_field.c_str()));
}

// The mate suite's positions must all be judged, not refused.
TEST(ChessRules, AcceptsTheMateProblems) {
  const std::vector<MateProblem> problems = mate_problems(1000);
  ASSERT_GT(problems.size(), 1000u);
  for (const MateProblem& p : problems) {
    rules::Position pos;
    EXPECT_TRUE(rules::set_fen(&pos, p.fen.c_str())) << p.fen;
  }
}

}  // namespace
