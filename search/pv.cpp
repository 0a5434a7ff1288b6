// Reading principal variations back from the transposition table: take the
// stored move, check it is a legal move of the position, make it, go on.
#include <algorithm>
#include <cstdlib>

#include "board.h"
#include "board/attacks.h"
#include "board/make_move.h"
#include "board/movegen.h"
#include "board/repetition.h"
#include "search/pv.h"
#include "search/tt.h"
#include "search_state.h"
#include "settings.h"

namespace {

struct Line {
  uint16_t* moves;
  uint16_t* flags;
  uint32_t* locks;
  const int16_t* score;  // nullptr for the main line
};

void walk(const Line& line, uint8_t side, int i);

// Plays the move of line index i (its key in line.moves[i]) and walks on
// after it. The key does not name a promotion's piece: when one promotion
// leads nowhere, the next is tried.
void follow(const Line& line, uint8_t side, int i) {
  const uint16_t key = line.moves[i];
  // The line index i is the game record's entry game_index + 1; index 1 is
  // the root move's.
  const int root_record = std::max(1, game_index - i + 2);
  // A position that recurs with the same side to move ends the line after
  // the move made from it.
  const bool recurs = i > 6 && (i & 1) != 0 && repetitions(root_record, 1) > 0;
  hash_move = 0;
  generate_moves(side);
  const int end = list_start[i + 1];
  for (int k = find_key(list_start[i], end, key); k < end; k = find_key(k + 1, end, key)) {
    const Move m = move_stack[k];
    line.flags[i] = static_cast<uint16_t>(m.flags);
    if (!make_if_legal(side, m)) {
      line.moves[i] = line.flags[i] = 0;
      return;
    }
    if (recurs) {
      line.moves[i + 1] = line.flags[i + 1] = 0;
      unmake_move(side, m);
      return;
    }
    walk(line, side ^ 1, i + 1);
    unmake_move(side, m);
    if (line.moves[i + 1] != 0 || !(m.flags & PROMOTE)) return;
  }
  line.moves[i] = 0;
}

void walk(const Line& line, uint8_t side, int i) {
  const TtEntry* entry = tt_entry_of(side);
  const bool score_agrees = entry != nullptr && (line.score == nullptr || std::abs(entry->score) == std::abs(*line.score) ||
                                                 std::abs(entry->score) > MATE_BOUND);
  if (!score_agrees || i > PV_LAST_MOVE_INDEX) {
    line.moves[i] = 0;
    return;
  }
  line.moves[i] = entry->move;
  line.locks[i] = entry->lock;
  // Each level keeps its candidates in the move-stack slice of ply i.
  const int8_t saved_ply = ply;
  ply = static_cast<int8_t>(i);
  follow(line, side, i);
  ply = saved_ply;
}

}  // namespace

void pv_from_table(uint8_t side, int i) { walk(Line{pv_line, pv_flags, pv_lock, nullptr}, side, i); }

void multipv_from_table(uint8_t side, int i, int k) {
  MultiPvLine& record = multipv_records[k];
  walk(Line{record.moves, record.flags, record.locks, &record.score}, side, i);
}
