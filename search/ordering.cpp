// Move ordering: the scores given at generation, the selection step, and the
// killer, mate-killer and history tables.
#include "search/ordering.h"

#include <cassert>

#include "board.h"
#include "search/move_scorer.h"
#include "search_state.h"

uint16_t killer1[PLY_SLOTS];
uint16_t killer2[PLY_SLOTS];
uint16_t mate_killer[PLY_SLOTS];
int16_t* history[2] = {nullptr, nullptr};

void reset_history() {
  for (int16_t* table : history)
    for (int i = 0; i < HISTORY_ENTRIES; i++) table[i] = HISTORY_START;
}

void score_move(int from, int to, uint32_t flags, uint8_t xside) {
  assert(ply >= 0 && ply < PLY_SLOTS);
  MoveScorer s = move_scorer(xside);
  const int mover = board[from];
  score_and_append(s, from, to, flags, mover, order_value[mover], board[to]);
  close_list(s);
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
