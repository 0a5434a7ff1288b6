// Make and unmake of each kind of move, and the attack test.
#include "board/attacks.h"
#include "board/make_move.h"
#include "board/movegen.h"
#include "board/position_check.h"
#include "board_fixture.h"

namespace {

class MakeMove : public BoardTest {};

TEST_F(MakeMove, DoubleStepFromTheStart) {
  const uint32_t key = hash_key, lock = hash_lock, pawns = pawn_key;
  const Move move = play(WHITE, "e2e4");
  EXPECT_EQ(ep_square, 20);
  EXPECT_EQ(pawn_attacks[WHITE][35], 1);  // d5
  EXPECT_EQ(pawn_attacks[WHITE][37], 1);  // f5
  EXPECT_EQ(pawn_attacks[WHITE][19], 1);  // d3, was 2
  EXPECT_EQ(pawn_attacks[WHITE][21], 1);  // f3, was 2
  EXPECT_EQ(game_index, 1);
  EXPECT_EQ(irreversible_index, 1);
  EXPECT_EQ(moved_count[12], 1);
  EXPECT_EQ(last_to_square, 28);
  EXPECT_EQ(position_inconsistency(), nullptr);
  const GameRecord& record = game_record[1];
  EXPECT_EQ(record.move_key, move_key(12, 28));
  EXPECT_EQ(record.captured_piece, NO_PIECE);
  EXPECT_EQ(record.captured_color, NEUTRAL);
  EXPECT_EQ(record.prev_ep_square, 0);
  EXPECT_EQ(record.prev_hash_key, key);

  unmake_move(WHITE, move);
  EXPECT_EQ(ep_square, 0);
  EXPECT_EQ(pawn_attacks[WHITE][19], 2);
  EXPECT_EQ(game_index, 0);
  EXPECT_EQ(irreversible_index, 0);
  EXPECT_EQ(moved_count[12], 0);
  EXPECT_EQ(hash_key, key);
  EXPECT_EQ(hash_lock, lock);
  EXPECT_EQ(pawn_key, pawns);
  EXPECT_EQ(position_inconsistency(), nullptr);
}

TEST_F(MakeMove, CapturedManIsPutBackAtTheEndOfItsList) {
  set_fen("rnbqkbnr/pppppppp/8/8/8/1N6/PPPPPPPP/R1BQKBNR w KQkq - 0 1");
  // Black pieces in square order: a8 rook 1, b8 knight 2, ... h8 rook 7.
  ASSERT_EQ(piece_list[BLACK][2], 57);
  play(WHITE, "b3a5");
  play(BLACK, "b8c6");
  const Move capture = play(WHITE, "a5c6");
  EXPECT_EQ(piece_top[BLACK], 6);
  EXPECT_EQ(material[BLACK], 4140 - 315);
  EXPECT_EQ(piece_material[BLACK], 3340 - 315);
  EXPECT_EQ(moved_count[42], 1);  // a capture counts for the destination too
  unmake_move(WHITE, capture);
  EXPECT_EQ(piece_top[BLACK], 7);
  EXPECT_EQ(piece_list[BLACK][7], 42);
  EXPECT_EQ(list_index[42], 7);
  EXPECT_EQ(moved_count[42], 0);
  EXPECT_EQ(position_inconsistency(), nullptr);
}

TEST_F(MakeMove, CapturingPromotion) {
  set_fen("1r2k3/P7/8/8/8/8/8/4K3 w - - 0 1");
  const int16_t white = material[WHITE], black = material[BLACK];
  const int16_t white_pieces = piece_material[WHITE];
  generate_moves(WHITE);
  const Move move = find_move("a7b8q");
  make_move(WHITE, move);
  EXPECT_EQ(board[57], QUEEN);
  EXPECT_EQ(color[57], WHITE);
  EXPECT_EQ(pawn_count[WHITE], 0);
  EXPECT_EQ(piece_list[WHITE][piece_top[WHITE]], 57);
  EXPECT_EQ(material[WHITE], white + 900);
  EXPECT_EQ(piece_material[WHITE], white_pieces + 1000);
  EXPECT_EQ(material[BLACK], black - 525);
  EXPECT_EQ(moved_count[57], 1);
  EXPECT_EQ(game_record[game_index].captured_piece, ROOK);
  EXPECT_EQ(position_inconsistency(), nullptr);
  unmake_move(WHITE, move);
  EXPECT_EQ(board[57], ROOK);
  EXPECT_EQ(color[57], BLACK);
  EXPECT_EQ(board[48], PAWN);
  EXPECT_EQ(material[WHITE], white);
  EXPECT_EQ(material[BLACK], black);
  EXPECT_EQ(moved_count[57], 0);
  EXPECT_EQ(moved_count[48], 0);
  EXPECT_EQ(position_inconsistency(), nullptr);
}

TEST_F(MakeMove, EnPassantRemovesThePawnBesideTheDestination) {
  struct Case {
    const char* fen;
    const char* move;
    int victim;
  };
  const Case cases[] = {
      {"4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1", "e5d6", 35},
      {"4k3/8/8/8/3Pp3/8/8/4K3 b - d3 0 1", "e4d3", 27},
  };
  for (const Case& c : cases) {
    set_fen(c.fen);
    const uint8_t side = side_to_move;
    generate_moves(side);
    const Move move = find_move(c.move);
    ASSERT_TRUE(move.flags & EN_PASSANT);
    const int from = move.from;
    make_move(side, move);
    EXPECT_EQ(board[c.victim], NO_PIECE) << c.move;
    EXPECT_EQ(pawn_count[side ^ 1], 0) << c.move;
    EXPECT_EQ(moved_count[from], 0) << c.move;
    EXPECT_EQ(irreversible_index, game_index) << c.move;
    EXPECT_EQ(game_record[game_index].captured_piece, PAWN);
    EXPECT_EQ(game_record[game_index].captured_color, side ^ 1);
    EXPECT_EQ(position_inconsistency(), nullptr) << c.move;
    unmake_move(side, move);
    EXPECT_EQ(board[c.victim], PAWN) << c.move;
    EXPECT_EQ(ep_square, move.to) << c.move;
    EXPECT_EQ(position_inconsistency(), nullptr) << c.move;
  }
}

TEST_F(MakeMove, CastlingMovesKingAndRook) {
  struct Case {
    const char* fen;
    const char* move;
    int king_to, rook_from, rook_to;
  };
  const Case cases[] = {
      {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "e1g1", 6, 7, 5},
      {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "e1c1", 2, 0, 3},
      {"r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1", "e8g8", 62, 63, 61},
      {"r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1", "e8c8", 58, 56, 59},
  };
  for (const Case& c : cases) {
    set_fen(c.fen);
    const uint8_t side = side_to_move;
    const int irreversible = irreversible_index;
    generate_moves(side);
    const Move move = find_move(c.move);
    ASSERT_EQ(move.flags, CASTLE);
    make_move(side, move);
    EXPECT_EQ(board[c.king_to], KING) << c.move;
    EXPECT_EQ(board[c.rook_to], ROOK) << c.move;
    EXPECT_EQ(board[c.rook_from], NO_PIECE) << c.move;
    EXPECT_EQ(piece_list[side][0], c.king_to) << c.move;
    EXPECT_EQ(castled[side], 1) << c.move;
    EXPECT_EQ(moved_count[c.rook_from], 1) << c.move;
    EXPECT_EQ(irreversible_index, irreversible) << c.move;
    EXPECT_EQ(game_record[game_index].captured_color, side) << c.move;
    EXPECT_EQ(position_inconsistency(), nullptr) << c.move;
    unmake_move(side, move);
    EXPECT_EQ(board[king_home[side]], KING) << c.move;
    EXPECT_EQ(board[c.rook_from], ROOK) << c.move;
    EXPECT_EQ(castled[side], 0) << c.move;
    EXPECT_EQ(moved_count[c.rook_from], 0) << c.move;
    EXPECT_EQ(position_inconsistency(), nullptr) << c.move;
  }
}

TEST_F(MakeMove, SquareAttacked) {
  struct Case {
    const char* fen;
    int square;
    uint8_t by;
    int16_t expected;
  };
  const Case cases[] = {
      {"4k3/8/8/8/8/8/8/4K3 w - - 0 1", 51, BLACK, 1},            // d7 next to the king
      {"4k3/8/8/8/8/8/8/3RK3 w - - 0 1", 51, BLACK, 1},           // even when d7 is guarded
      {"4k3/8/8/8/8/8/8/B3K3 w - - 0 1", 63, WHITE, 1},           // a1 bishop sees h8
      {"4k3/8/8/8/3p4/8/8/B3K3 w - - 0 1", 63, WHITE, 0},         // blocked on d4
      {"4k3/8/8/8/3p4/8/8/B3K3 w - - 0 1", 27, WHITE, 1},         // the blocker itself
      {"4k3/8/8/8/8/8/8/Q3K3 w - - 0 1", 0, WHITE, 0},            // own occupant plays no part
      {"4k3/8/8/8/8/8/8/N3K3 w - - 0 1", 17, WHITE, 1},           // knight b3
      {"4k3/8/8/8/8/8/P7/4K3 w - - 0 1", 17, WHITE, 1},           // a2 pawn hits b3
      {"4k3/8/8/8/8/8/P7/4K3 w - - 0 1", 23, WHITE, 0},           // not h3 by wrapping
      {"4k3/8/8/8/8/8/8/3K3R w - - 0 1", 8, WHITE, 0},            // h1 rook not a2 by wrapping
      {"4k3/8/8/8/8/8/8/3K3N w - - 0 1", 9, WHITE, 0},            // h1 knight not b2 by wrapping
      {"4k3/8/8/8/7K/8/8/8 w - - 0 1", 32, WHITE, 0},             // h4 king not a5 by wrapping
      {"4k3/8/8/8/8/8/7K/Q1n5 w - - 0 1", 3, WHITE, 0},           // a1 queen blocked on c1
      {"4k3/8/8/8/8/8/7K/Q1n5 w - - 0 1", 2, WHITE, 1},           // the blocker itself
      {"4k3/8/8/8/8/8/7K/Q1n5 w - - 0 1", 54, WHITE, 1},          // and the long diagonal to g7
  };
  for (const Case& c : cases) {
    set_fen(c.fen);
    EXPECT_EQ(square_attacked(c.square, c.by), c.expected) << c.fen << " square " << c.square;
  }
}

}  // namespace
