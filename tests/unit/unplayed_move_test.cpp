// Moves tried without playing them: the attack answers and the traces left
// behind must be exactly those of make_move, square_attacked, unmake_move.
#include <array>
#include <cstring>
#include <string>

#include "board/attacks.h"
#include "board/make_move.h"
#include "board/movegen.h"
#include "board_fixture.h"
#include "tests/perft_suite.h"

namespace {

class UnplayedMove : public BoardTest {};

// What a trial make and unmake may change besides the position itself.
struct Traces {
  int8_t pieces[2][SQUARE_COUNT], pawns[2][SQUARE_COUNT], index[SQUARE_COUNT], tops[2], counts[2];
  uint8_t last_to;

  static Traces take() {
    Traces t;
    std::memcpy(t.pieces, piece_list, sizeof(t.pieces));
    std::memcpy(t.pawns, pawn_list, sizeof(t.pawns));
    std::memcpy(t.index, list_index, sizeof(t.index));
    std::memcpy(t.tops, piece_top, sizeof(t.tops));
    std::memcpy(t.counts, pawn_count, sizeof(t.counts));
    t.last_to = last_to_square;
    return t;
  }
  void restore() const {
    std::memcpy(piece_list, pieces, sizeof(pieces));
    std::memcpy(pawn_list, pawns, sizeof(pawns));
    std::memcpy(list_index, index, sizeof(index));
    std::memcpy(piece_top, tops, sizeof(tops));
    std::memcpy(pawn_count, counts, sizeof(counts));
    last_to_square = last_to;
  }
  // Lists compared up to their tops; indices only where a man stands.
  bool operator==(const Traces& o) const {
    if (last_to != o.last_to) return false;
    for (int c = WHITE; c <= BLACK; c++) {
      if (tops[c] != o.tops[c] || counts[c] != o.counts[c]) return false;
      if (std::memcmp(pieces[c], o.pieces[c], tops[c] + 1) != 0) return false;
      if (std::memcmp(pawns[c] + 1, o.pawns[c] + 1, counts[c]) != 0) return false;
    }
    for (int s = 0; s < SQUARE_COUNT; s++)
      if (color[s] != NEUTRAL && index[s] != o.index[s]) return false;
    return true;
  }
};

// Every pseudo-legal move but castling at the current ply: each square's
// attack by each side after the move, and the traces (which pile up move
// after move, so that later moves meet lists out of square order).
int check_every_move(uint8_t side, const std::string& where) {
  int checked = 0;
  generate_moves(side);
  const int first = list_start[ply], last = list_start[ply + 1];
  for (int i = first; i < last; i++) {
    const Move m = move_stack[i];
    if (m.flags & CASTLE) continue;
    const std::string what = where + " " + BoardTest::text_of(m);
    const Traces before = Traces::take();
    make_move(side, m);
    std::array<bool, 2 * SQUARE_COUNT> played{};
    for (int sq = 0; sq < SQUARE_COUNT; sq++)
      for (uint8_t by = WHITE; by <= BLACK; by++) played[2 * sq + by] = square_attacked(sq, by) != 0;
    const bool king_attacked = square_attacked(piece_list[side][0], side ^ 1) != 0;
    unmake_move(side, m);
    const Traces after_playing = Traces::take();
    before.restore();

    for (int sq = 0; sq < SQUARE_COUNT; sq++)
      for (uint8_t by = WHITE; by <= BLACK; by++)
        EXPECT_EQ(attacked_after(sq, by, side, m.from, m.to, m.flags), played[2 * sq + by])
            << what << " square " << sq << " by " << int{by};
    EXPECT_EQ(exposes_king(m.from, m.to, m.flags, side), king_attacked) << what;
    leave_trial_traces(side, m.from, m.to, m.flags);
    EXPECT_TRUE(Traces::take() == after_playing) << what;
    checked++;
  }
  return checked;
}

// The suite positions, and those after their first few moves.
TEST_F(UnplayedMove, AnswersAsIfPlayed) {
  int checked = 0;
  for (const PerftLine& line : perft_suite()) {
    set_fen(line.fen.c_str());
    const uint8_t side = side_to_move;
    checked += check_every_move(side, line.fen);
    generate_moves(side);
    for (int i = list_start[ply]; i < list_start[ply + 1] && i < list_start[ply] + 4; i++) {
      const Move m = move_stack[i];
      make_move(side, m);
      if (!in_check(side)) {
        ply++;
        checked += check_every_move(side ^ 1, line.fen + " " + text_of(m));
        ply--;
      }
      unmake_move(side, m);
    }
    if (HasFailure()) return;
  }
  // En passant that opens a rank, a diagonal or the capturer's own file.
  const char* en_passant[] = {
      "8/8/8/KPp4r/8/8/8/7k w - c6 0 1",
      "7k/8/8/1PpP4/8/8/8/K5q1 w - c6 0 1",
      "2r4k/8/8/1Pp5/8/8/8/K1R5 w - c6 0 1",
      "8/8/8/8/R2pP2k/8/8/4K3 b - e3 0 1",
  };
  for (const char* fen : en_passant) {
    set_fen(fen);
    checked += check_every_move(side_to_move, fen);
  }
  EXPECT_GT(checked, 5000);
}

}  // namespace
