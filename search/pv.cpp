// Reading principal variations back from the transposition table: take the
// stored move, check it is a legal move of the position, make it, go on.
#include <cstdlib>

#include "board.h"
#include "board/attacks.h"
#include "board/make_move.h"
#include "board/movegen.h"
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

void walk(const Line& line, uint8_t side, int i) {
  TtEntry& slot = tt_table[side][hash_key & hash_mask];
  tt_current = &slot;
  const bool score_agrees =
      line.score == nullptr || std::abs(slot.score) == std::abs(*line.score) || std::abs(slot.score) > MATE_BOUND;
  if (slot.depth == TT_UNWRITTEN || slot.lock != hash_lock || i > PV_LAST_MOVE_INDEX || !score_agrees) {
    line.moves[i] = 0;
    return;
  }
  line.moves[i] = slot.move;
  line.locks[i] = slot.lock;

  // Each level keeps its candidates in the move-stack slice of ply i.
  const int8_t saved_ply = ply;
  ply = static_cast<int8_t>(i);
  hash_move = 0;
  generate_moves(side);
  const int first = list_start[i], end = list_start[i + 1];
  for (int k = first; k < end; k++) {
    const Move m = move_stack[k];
    if (move_key(m.from, m.to) != line.moves[i]) continue;
    line.flags[i] = static_cast<uint16_t>(m.flags);
    make_move(side, m);
    if (in_check(side)) {
      unmake_move(side, m);
      line.moves[i] = line.flags[i] = 0;
      ply = saved_ply;
      return;
    }
    // A position that recurs with the same side to move ends the line.
    if (i > 6 && (i & 1) != 0) {
      for (int j = i - 4; j >= 1; j -= 2) {
        if (line.locks[i] == line.locks[j]) {
          line.moves[i + 1] = line.flags[i + 1] = 0;
          unmake_move(side, m);
          ply = saved_ply;
          return;
        }
      }
    }
    walk(line, side ^ 1, i + 1);
    unmake_move(side, m);
    // The key does not name the promoted piece: try the next promotion on
    // the same squares when this one leads nowhere.
    if (line.moves[i + 1] != 0 || !(m.flags & PROMOTE)) {
      ply = saved_ply;
      return;
    }
  }
  line.moves[i] = 0;
  ply = saved_ply;
}

}  // namespace

void pv_from_table(uint8_t side, int i) { walk(Line{pv_line, pv_flags, pv_lock, nullptr}, side, i); }

void multipv_from_table(uint8_t side, int i, int k) {
  MultiPvLine& record = multipv_records[k];
  walk(Line{record.moves, record.flags, record.locks, &record.score}, side, i);
}
