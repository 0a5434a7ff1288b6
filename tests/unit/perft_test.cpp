// Leaf counts of known positions, and exact restoration by unmake over whole trees.
#include <algorithm>
#include <array>
#include <cstdlib>

#include "board/position_check.h"
#include "board_fixture.h"
#include "tests/perft_suite.h"

namespace {

class Perft : public BoardTest {};

// Depth 4 everywhere, and depth 5 where that tree is small.
TEST_F(Perft, SuiteMatchesKnownCounts) {
  const std::vector<PerftLine> suite = perft_suite();
  ASSERT_EQ(suite.size(), 127u);
  for (const PerftLine& line : suite) {
    for (auto [depth, expected] : line.counts) {
      if (depth > 5 || (depth == 5 && expected > 300000)) continue;
      set_fen(line.fen.c_str());
      EXPECT_EQ(perft_count(side_to_move, depth), expected) << line.fen << " depth " << depth;
    }
  }
}

// Everything make_move may touch; lists compared as sets.
struct Snapshot {
  std::array<uint8_t, 64> board_, color_;
  std::array<std::vector<int>, 2> pieces, pawns;
  std::array<int, 2> king, material_, piece_material_, castled_;
  std::array<std::array<int8_t, 65>, 2> pawn_attacks_;
  uint32_t key, lock, pawn_key_;
  std::array<uint16_t, 64> moved;
  int ep, game, irreversible;

  static Snapshot take() {
    Snapshot s;
    std::copy(board, board + 64, s.board_.begin());
    std::copy(color, color + 64, s.color_.begin());
    for (int c = WHITE; c <= BLACK; c++) {
      s.pieces[c].assign(piece_list[c] + 1, piece_list[c] + 1 + piece_top[c]);
      s.pawns[c].assign(pawn_list[c] + 1, pawn_list[c] + 1 + pawn_count[c]);
      std::sort(s.pieces[c].begin(), s.pieces[c].end());
      std::sort(s.pawns[c].begin(), s.pawns[c].end());
      s.king[c] = piece_list[c][0];
      s.material_[c] = material[c];
      s.piece_material_[c] = piece_material[c];
      s.castled_[c] = castled[c];
      std::copy(pawn_attacks[c], pawn_attacks[c] + 65, s.pawn_attacks_[c].begin());
    }
    s.key = hash_key;
    s.lock = hash_lock;
    s.pawn_key_ = pawn_key;
    std::copy(moved_count, moved_count + 64, s.moved.begin());
    s.ep = ep_square;
    s.game = game_index;
    s.irreversible = irreversible_index;
    return s;
  }
  bool operator==(const Snapshot&) const = default;
};

// Makes and unmakes every legal and illegal move of the tree.
void walk(uint8_t side, int depth, uint64_t& checked) {
  if (in_check(side))
    generate_evasions(side);
  else
    generate_moves(side);
  for (int i = list_start[ply]; i < list_start[ply + 1]; i++) {
    const Move move = move_stack[i];
    const Snapshot before = Snapshot::take();
    make_move(side, move);
    const char* fault = position_inconsistency();
    ASSERT_EQ(fault, nullptr) << "after make " << BoardTest::text_of(move) << ": " << fault;
    if (depth > 1 && !in_check(side)) {
      ply++;
      walk(side ^ 1, depth - 1, checked);
      ply--;
    }
    unmake_move(side, move);
    fault = position_inconsistency();
    ASSERT_EQ(fault, nullptr) << "after unmake " << BoardTest::text_of(move) << ": " << fault;
    ASSERT_TRUE(Snapshot::take() == before) << "unmake " << BoardTest::text_of(move) << " did not restore";
    checked++;
  }
}

TEST_F(Perft, UnmakeRestoresEveryMoveOfTheTree) {
  const char* fens[] = {
      "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",  // castling, pins, ep
      "n1n5/PPPk4/8/8/8/8/4Kppp/5N1N b - - 0 1",                               // capturing promotions
      "8/8/3k4/3p4/8/3P4/3K4/8 w - - 0 1",
      "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",  // ep that uncovers the king
  };
  for (const char* fen : fens) {
    set_fen(fen);
    uint64_t checked = 0;
    walk(side_to_move, 3, checked);
    EXPECT_GT(checked, 100u) << fen;
    if (HasFatalFailure()) return;
  }
}

}  // namespace
