// Move ordering: the scores given at generation, the selection step, and the
// killer, mate-killer and history tables.
#include "search/ordering.h"

#include <cassert>

#include "board.h"
#include "search_state.h"

uint16_t killer1[PLY_SLOTS];
uint16_t killer2[PLY_SLOTS];
uint16_t mate_killer[PLY_SLOTS];
int16_t* history[2] = {nullptr, nullptr};

namespace {

constexpr int16_t HASH_MOVE_SCORE = 5000;
constexpr int16_t PAWN_BITE = -31500;  // a man put en prise to a pawn goes to the back

inline void append_move(int from, int to, int score, uint32_t flags) {
  uint16_t& fill = list_start[ply + 1];
  // Moves beyond the stack are dropped; real positions never get there.
  if (fill >= MOVE_STACK_SIZE) return;
  move_stack[fill++] = Move{static_cast<int8_t>(from), static_cast<int8_t>(to), static_cast<int16_t>(score), flags};
}

}  // namespace

void reset_history() {
  for (int16_t* table : history)
    for (int i = 0; i < HISTORY_ENTRIES; i++) table[i] = HISTORY_START;
}

void score_move(int from, int to, uint32_t flags, uint8_t xside) {
  assert(ply >= 0 && ply < PLY_SLOTS);
  const uint16_t key = move_key(from, to);
  const int mover = board[from];
  int16_t s;

  if (key == hash_move) {
    s = HASH_MOVE_SCORE;
  } else if (key == mate_killer[ply]) {
    s = 2000;
  } else if (color[to] != NEUTRAL) {
    const int victim = board[to];
    s = static_cast<int16_t>(order_value[victim] - mover);
    if (to == last_to_square) s = static_cast<int16_t>(s + 50);
    if (pawn_attacks[xside][to] != 0 && order_value[mover] > order_value[victim])
      s = static_cast<int16_t>(s + PAWN_BITE - order_value[mover]);
  } else if (key == killer1[ply]) {
    s = 100;
  } else if (key == killer2[ply]) {
    s = 50;
  } else if (pawn_attacks[xside][to] != 0 && mover != PAWN) {
    s = static_cast<int16_t>(PAWN_BITE - order_value[mover]);
  } else {
    s = history[xside ^ 1][key];
  }

  if (mover == PAWN) {
    const int rank = rank_of(to);
    if (rank == 0 || rank == 7) {
      const int16_t q = s < 1 ? int16_t{1000} : static_cast<int16_t>(s + 1000);
      append_move(from, to, q, PROMOTE | QUEEN);
      append_move(from, to, static_cast<int16_t>(q - 750), PROMOTE | KNIGHT);
      append_move(from, to, static_cast<int16_t>(q - 750), PROMOTE | BISHOP);
      append_move(from, to, static_cast<int16_t>(q - 550), PROMOTE | ROOK);
      return;
    }
    if (rank == 1 || rank == 6) {
      flags |= PAWN_ADVANCE;
      if (s != HASH_MOVE_SCORE) s = s < 1 ? int16_t{750} : static_cast<int16_t>(s + 750);
    } else if ((rank == 5 && color[from] == WHITE) || (rank == 2 && color[from] == BLACK)) {
      flags |= PAWN_ADVANCE;
    }
  } else if (pawn_attacks[xside][from] != 0 && s != HASH_MOVE_SCORE) {
    // A man attacked by a pawn: moving it away comes earlier.
    s = s > 0 ? static_cast<int16_t>(s + 100) : static_cast<int16_t>(order_value[mover] - 1200);
  }
  append_move(from, to, s, flags);
}

void pick_best_move(int first, int last) {
  int best = first;
  for (int i = first + 1; i <= last; i++)
    if (move_stack[i].score > move_stack[best].score) best = i;
  if (best != first) {
    const Move swap = move_stack[first];
    move_stack[first] = move_stack[best];
    move_stack[best] = swap;
  }
}

void update_move_tables(uint8_t side, const Move& move, int16_t score) {
  const int p = ply;
  const uint16_t key = move_key(move.from, move.to);
  const bool capture = (move.flags & CAPTURE) != 0;
  // A mate that merely recaptures on the opponent's last square is no killer.
  if (score > MATE_BOUND && move.to != key_to(game_record[game_index].move_key)) {
    mate_killer[p] = key;
  } else if (!capture && key != killer1[p]) {
    killer2[p] = killer1[p];
    killer1[p] = key;
  }
  if (!capture) {
    const int depth = horizon[p] - p;
    int16_t& entry = history[side][key];
    if (entry < -2048) entry = static_cast<int16_t>(entry + depth * depth);
  }
}
