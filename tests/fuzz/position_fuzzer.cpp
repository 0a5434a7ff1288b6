// A position command (FEN or start position and a move list), then every
// move of the position reached made and taken back two plies deep with the
// whole position checked, then a short search.
#include <algorithm>
#include <cstring>
#include <vector>

#include "board.h"
#include "board/attacks.h"
#include "board/make_move.h"
#include "board/movegen.h"
#include "board/position_check.h"
#include "fuzz_engine.h"
#include "protocol/input.h"
#include "protocol/position_command.h"

namespace {

constexpr int WALK_DEPTH = 2;
constexpr int SEARCH_DEPTH = 4;

// What a move and its unmaking must leave as it was.
struct Snapshot {
  uint8_t board[SQUARE_COUNT], color[SQUARE_COUNT];
  uint16_t moved[SQUARE_COUNT];
  int8_t pawn_attacks[2][SQUARE_COUNT + 1];
  int16_t material[2], piece_material[2], castled[2];
  int8_t piece_top[2], pawn_count[2], ep_square;
  uint32_t hash_key, hash_lock, pawn_key;
  int16_t game_index, irreversible_index;
};

Snapshot snapshot() {
  Snapshot s;
  std::memset(&s, 0, sizeof(s));
  std::memcpy(s.board, board, sizeof(board));
  std::memcpy(s.color, color, sizeof(color));
  std::memcpy(s.moved, moved_count, sizeof(moved_count));
  std::memcpy(s.pawn_attacks, pawn_attacks, sizeof(pawn_attacks));
  for (int c = WHITE; c <= BLACK; c++) {
    s.material[c] = material[c];
    s.piece_material[c] = piece_material[c];
    s.castled[c] = castled[c];
    s.piece_top[c] = piece_top[c];
    s.pawn_count[c] = pawn_count[c];
  }
  s.ep_square = ep_square;
  s.hash_key = hash_key;
  s.hash_lock = hash_lock;
  s.pawn_key = pawn_key;
  s.game_index = game_index;
  s.irreversible_index = irreversible_index;
  return s;
}

// A move as the rules see it: squares and promotion piece.
int move_id(const Move& m) { return m.from << 9 | m.to << 3 | static_cast<int>((m.flags & PROMOTE) ? m.flags & PROMO_MASK : 0); }

std::vector<int> slice_ids() {
  std::vector<int> ids;
  for (int i = list_start[ply]; i < list_start[ply + 1]; i++) ids.push_back(move_id(move_stack[i]));
  std::sort(ids.begin(), ids.end());
  return ids;
}

void walk(uint8_t side, int depth) {
  const Snapshot before = snapshot();
  generate_moves(side);
  std::vector<int> legal;
  for (int i = list_start[ply]; i < list_start[ply + 1]; i++) {
    const Move m = move_stack[i];
    if (board[m.to] == KING) fuzz_fail("a generated move takes a king");
    if (color[m.from] != side) fuzz_fail("a generated move moves no man of the side");
    make_move(side, m);
    if (position_inconsistency() != nullptr) fuzz_fail("inconsistent after a move: ", position_inconsistency());
    if (!in_check(side)) {
      if (!(m.flags & CASTLE)) legal.push_back(move_id(m));
      if (depth > 1) {
        ply++;
        walk(side ^ 1, depth - 1);
        ply--;
      }
    }
    unmake_move(side, m);
    const Snapshot after = snapshot();
    // The lists may come back in another order, which the next move's check
    // would find wrong if it were.
    if (std::memcmp(&before, &after, sizeof(before)) != 0) fuzz_fail("a move and its unmaking changed the position");
  }
  // In check, the evasions are exactly the legal moves.
  if (in_check(side)) {
    std::sort(legal.begin(), legal.end());
    generate_evasions(side);
    if (slice_ids() != legal) fuzz_fail("the evasions differ from the legal moves");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  fuzz_new_input();
  // One line, as the command loop would take it.
  static char line[INPUT_BUFFER_SIZE];
  std::strcpy(line, "position ");
  std::size_t n = std::strlen(line);
  for (std::size_t i = 0; i < size && n < INPUT_BUFFER_SIZE - 1; i++) {
    const char c = static_cast<char>(data[i]);
    line[n++] = c == '\0' || c == '\n' || c == '\r' ? ' ' : c;
  }
  line[n] = '\0';
  handle_position(line);
  fuzz_check_position("after the position command", true);

  ply = 1;
  list_start[1] = 0;
  walk(side_to_move, WALK_DEPTH);
  fuzz_search(SEARCH_DEPTH);
  fuzz_check_position("after the search", false);
  return 0;
}
