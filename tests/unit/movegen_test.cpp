// Generation order, promotions, castling conditions, en passant and evasions.
#include "board/attacks.h"
#include "board/make_move.h"
#include "board/movegen.h"
#include "board/position_check.h"
#include "board_fixture.h"
#include "search/search.h"

namespace {

// Every generator that lists en-passant captures: the main two and the
// quiescence search's two.
struct Generator {
  const char* name;
  void (*generate)(uint8_t side);
};
const Generator en_passant_generators[] = {
    {"moves", generate_moves},
    {"evasions", generate_evasions},
    {"captures", generate_captures},
    {"captures and checks", generate_captures_and_checks},
};

class MoveGen : public BoardTest {
 protected:
  // Legal moves by the generic route: pseudo-legal list filtered by make/test.
  static std::string legal_by_filter(uint8_t side) {
    generate_moves(side);
    std::vector<Move> legal;
    for (const Move& move : generated()) {
      if (move.flags & CASTLE) continue;
      make_move(side, move);
      if (!in_check(side)) legal.push_back(move);
      unmake_move(side, move);
    }
    return sorted_texts(legal);
  }
};

TEST_F(MoveGen, StartPositionOrder) {
  generate_moves(WHITE);
  EXPECT_EQ(texts(generated()),
            "g1f3 g1h3 b1a3 b1c3 h2h3 h2h4 g2g3 g2g4 f2f3 f2f4 "
            "e2e3 e2e4 d2d3 d2d4 c2c3 c2c4 b2b3 b2b4 a2a3 a2a4");
  for (const Move& m : generated()) EXPECT_EQ(m.flags, QUIET) << text_of(m);
}

TEST_F(MoveGen, PromotionsComeQueenKnightBishopRook) {
  set_fen("r3k3/1P6/8/8/8/8/8/4K3 w - - 0 1");
  generate_moves(WHITE);
  struct Expected {
    const char* text;
    uint32_t flags;
    int16_t score;
  };
  // Push first (no history value: queen 1000), then the capture of a8 (524 + 1000).
  const Expected expected[] = {
      {"b7b8q", 13, 1000}, {"b7b8n", 10, 250}, {"b7b8b", 11, 250}, {"b7b8r", 12, 450},
      {"b7a8q", 13, 1524}, {"b7a8n", 10, 774}, {"b7a8b", 11, 774}, {"b7a8r", 12, 974},
  };
  std::vector<Move> pawn_moves;
  for (const Move& m : generated())
    if (m.from == 49) pawn_moves.push_back(m);
  ASSERT_EQ(pawn_moves.size(), std::size(expected));
  for (size_t i = 0; i < pawn_moves.size(); i++) {
    EXPECT_EQ(text_of(pawn_moves[i]), expected[i].text);
    EXPECT_EQ(pawn_moves[i].flags, expected[i].flags) << expected[i].text;
    EXPECT_EQ(pawn_moves[i].score, expected[i].score) << expected[i].text;
  }
}

struct CastleCase {
  const char* name;
  const char* fen;
  bool short_castle, long_castle;
};

TEST_F(MoveGen, CastlingConditions) {
  const CastleCase cases[] = {
      {"free", "4k3/8/8/8/8/8/8/R3K2R w KQ - 0 1", true, true},
      {"no rights", "4k3/8/8/8/8/8/8/R3K2R w - - 0 1", false, false},
      {"in check", "4k3/8/8/8/8/8/4r3/R3K2R w KQ - 0 1", false, false},
      {"f1 attacked", "4kr2/8/8/8/8/8/8/R3K2R w KQ - 0 1", false, true},
      {"g1 attacked", "4k1r1/8/8/8/8/8/8/R3K2R w KQ - 0 1", false, true},
      {"h1 attacked", "4k2r/8/8/8/8/8/8/R3K2R w KQ - 0 1", true, true},
      {"d1 attacked", "3rk3/8/8/8/8/8/8/R3K2R w KQ - 0 1", true, false},
      {"c1 attacked", "2r1k3/8/8/8/8/8/8/R3K2R w KQ - 0 1", true, false},
      {"b1 attacked", "1r2k3/8/8/8/8/8/8/R3K2R w KQ - 0 1", true, true},
      {"b1 occupied", "4k3/8/8/8/8/8/8/RN2K2R w KQ - 0 1", true, false},
      {"b1 enemy", "4k3/8/8/8/8/8/8/Rn2K2R w KQ - 0 1", true, false},
      {"f1 attacked by pawn", "4k3/8/8/8/8/8/6p1/R3K2R w KQ - 0 1", false, true},
      {"black free", "r3k2r/8/8/8/8/8/8/4K3 b kq - 0 1", true, true},
  };
  for (const CastleCase& c : cases) {
    set_fen(c.fen);
    const uint8_t side = side_to_move;
    const int king = king_home[side];
    generate_moves(side);
    bool found_short = false, found_long = false;
    for (const Move& m : generated()) {
      if (!(m.flags & CASTLE)) continue;
      EXPECT_EQ(m.from, king) << c.name;
      if (m.to == king + 2) found_short = true;
      if (m.to == king - 2) found_long = true;
    }
    EXPECT_EQ(found_short, c.short_castle) << c.name;
    EXPECT_EQ(found_long, c.long_castle) << c.name;
  }
}

TEST_F(MoveGen, ShortCastlingListedBeforeLong) {
  set_fen("4k3/8/8/8/8/8/8/R3K2R w KQ - 0 1");
  generate_moves(WHITE);
  const std::vector<Move> all = generated();
  ASSERT_GE(all.size(), 2u);
  EXPECT_EQ(text_of(all[all.size() - 2]), "e1g1");
  EXPECT_EQ(text_of(all.back()), "e1c1");
}

TEST_F(MoveGen, CastledSideIsNotOfferedCastling) {
  set_fen("4k3/8/8/8/8/8/8/R3K2R w KQ - 0 1");
  castled[WHITE] = 1;
  generate_moves(WHITE);
  for (const Move& m : generated()) EXPECT_FALSE(m.flags & CASTLE) << text_of(m);
}

TEST_F(MoveGen, RookThatLeftAndCameBackCannotCastle) {
  set_fen("4k3/8/8/8/8/8/8/4K2R w K - 0 1");
  play(WHITE, "h1h2");
  play(BLACK, "e8d8");
  play(WHITE, "h2h1");
  play(BLACK, "d8e8");
  EXPECT_EQ(moved_count[7], 1);
  EXPECT_EQ(castle_move(WHITE, 4, 6, CASTLE_TEST), 0);
  generate_moves(WHITE);
  for (const Move& m : generated()) EXPECT_FALSE(m.flags & CASTLE) << text_of(m);
}

TEST_F(MoveGen, NewRookOnCapturedCornerCannotCastle) {
  set_fen("4k3/8/8/7R/8/8/5n2/R3K2R b KQ - 0 1");
  play(BLACK, "f2h1");  // takes the rook on its home square
  play(WHITE, "a1a2");
  play(BLACK, "h1f2");  // leaves; f2 attacks none of e1, f1, g1
  play(WHITE, "h5h1");  // another rook arrives on h1
  play(BLACK, "e8d8");
  EXPECT_EQ(board[7], ROOK);
  EXPECT_EQ(moved_count[7], 2);
  EXPECT_EQ(castle_move(WHITE, 4, 6, CASTLE_TEST), 0);
  // Only the corner's history stops it.
  moved_count[7] = 0;
  EXPECT_EQ(castle_move(WHITE, 4, 6, CASTLE_TEST), 1);
}

TEST_F(MoveGen, EnPassantAtTheBoardEdge) {
  struct Case {
    const char* fen;
    const char* captures;
  };
  // A pawn on the far side of the board must not wrap round onto the edge square.
  const Case cases[] = {
      {"4k3/8/8/pP6/7P/8/8/4K3 w - a6 0 1", "b5a6"},
      {"4k3/8/P7/6Pp/8/8/8/4K3 w - h6 0 1", "g5h6"},
      {"4k3/8/8/8/Pp6/7p/8/4K3 b - a3 0 1", "b4a3"},
      {"4k3/8/8/8/6pP/p7/8/4K3 b - h3 0 1", "g4h3"},
      {"4k3/8/8/3pPp2/8/8/8/4K3 w - d6 0 1", "e5d6"},
      {"4k3/8/8/2PpP3/8/8/8/4K3 w - d6 0 1", "c5d6 e5d6"},
  };
  for (const Case& c : cases) {
    set_fen(c.fen);
    for (const Generator& g : en_passant_generators) {
      g.generate(side_to_move);
      std::vector<Move> captures;
      for (const Move& m : generated()) {
        if (!(m.flags & EN_PASSANT)) continue;
        EXPECT_EQ(m.to, ep_square) << c.fen << " " << g.name;
        captures.push_back(m);
      }
      EXPECT_EQ(texts(captures), c.captures) << c.fen << " " << g.name;
    }
  }
}

// An en-passant square that no longer fits the board offers no capture: a
// side must not take its own pawn, nor a pawn that is not there.
TEST_F(MoveGen, StaleEnPassantSquareOffersNoCapture) {
  struct Case {
    const char* fen;
    const char* square;
  };
  const Case cases[] = {
      {"4k3/8/8/8/3PP3/8/8/4K3 w - - 0 1", "e3"},  // white's own pawn on e4
      {"4k3/8/8/3pp3/8/8/8/4K3 b - - 0 1", "e6"},  // black's own pawn on e5
      {"4k3/8/8/3P4/8/8/8/4K3 w - - 0 1", "e6"},   // nothing on e5
      {"4k3/8/8/3PN3/8/8/8/4K3 w - - 0 1", "e6"},  // a knight, not a pawn, on e5
  };
  for (const Case& c : cases) {
    set_fen(c.fen);
    ep_square = static_cast<int8_t>(sq(c.square));
    for (const Generator& g : en_passant_generators) {
      g.generate(side_to_move);
      for (const Move& m : generated()) EXPECT_FALSE(m.flags & EN_PASSANT) << c.fen << " " << g.name << " " << text_of(m);
    }
  }
}

TEST_F(MoveGen, EvasionsAreExactlyTheLegalMoves) {
  const char* fens[] = {
      "4r2k/8/8/3pP3/4K3/8/8/8 w - d6 0 1",  // ep removes the checker but opens the file
      "r3k2r/8/8/8/8/8/4q3/R3K2R w KQkq - 0 1",
      "4k3/8/8/8/1b6/8/8/RN2K2R w KQ - 0 1",  // block or capture
      "4k3/8/8/8/8/5n2/8/R3K2R w KQ - 0 1",
      "8/8/8/2k5/3Pp3/8/8/4K2B b - d3 0 1",  // ep capture of the checking pawn
      "4k2R/8/8/8/8/8/8/4K3 b - - 0 1",
      "1r2k3/P7/8/8/8/8/8/1K6 w - - 0 1",   // capturing promotion out of check
      "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",  // not in check
  };
  for (const char* fen : fens) {
    set_fen(fen);
    const uint8_t side = side_to_move;
    const std::string reference = legal_by_filter(side);
    int candidates = 0;
    for (const Move& m : generated())
      if (!(m.flags & CASTLE) && !((m.flags & PROMOTE) && (m.flags & PROMO_MASK) != QUEEN)) candidates++;
    const uint32_t nodes_before = nodes;
    generate_evasions(side);
    EXPECT_EQ(nodes - nodes_before, static_cast<uint32_t>(candidates)) << fen;
    for (const Move& m : generated()) EXPECT_FALSE(m.flags & CASTLE) << fen << " " << text_of(m);
    EXPECT_EQ(sorted_texts(generated()), reference) << fen;
  }
  set_fen("4r2k/8/8/3pP3/4K3/8/8/8 w - d6 0 1");
  generate_evasions(WHITE);
  for (const Move& m : generated()) EXPECT_NE(text_of(m), "e5d6");
}

// Each evasion is tested as if played and taken back, and later ordering
// depends on what that leaves: the captured checker at the end of its list,
// and the last candidate (here the king's g2) as the last square moved to.
TEST_F(MoveGen, EvasionTestsLeaveWhatTrialMovesLeave) {
  set_fen("n3k3/8/8/8/8/8/R7/r6K w - - 0 1");
  ASSERT_EQ(piece_list[BLACK][1], 0);
  generate_evasions(WHITE);
  EXPECT_EQ(texts(generated()), "a2a1 h1h2 h1g2");
  EXPECT_EQ(piece_top[BLACK], 2);
  EXPECT_EQ(piece_list[BLACK][1], 56);
  EXPECT_EQ(piece_list[BLACK][2], 0);
  EXPECT_EQ(last_to_square, 14);
  EXPECT_EQ(position_inconsistency(), nullptr);
}

}  // namespace
