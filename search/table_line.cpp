// Lines read from the endgame tables.
#include "search/table_line.h"

#include "board.h"
#include "board/make_move.h"
#include "board/movegen.h"
#include "search/table_score.h"

bool table_choice(uint8_t side, int p, int first, int last, int* best, int16_t* score) {
  bool found = false;
  for (int k = first; k <= last; k++) {
    const Move m = move_stack[k];
    if (!make_if_legal(side, m)) continue;
    int16_t reply;
    const bool known = table_score(side ^ 1, p + 1, &reply);
    unmake_move(side, m);
    if (!known) return false;
    // The mover's score is the reply's negated: the shortest win is the
    // highest, the longest defence the highest of the losses.
    if (!found || -reply > *score) {
      *best = k;
      *score = static_cast<int16_t>(-reply);
      found = true;
    }
  }
  return found;
}

int table_line(uint8_t side, int i, int last_index, uint16_t* moves, uint16_t* flags) {
  const int8_t saved_ply = ply;
  const uint8_t saved_last_to = last_to_square;
  Move made[PLY_SLOTS];
  const int start = i;
  int result = i;
  while (i <= last_index) {
    int16_t promised;
    if (!table_score(side, i, &promised)) break;
    ply = static_cast<int8_t>(i);
    generate_moves(side);
    int best = 0;
    int16_t score = 0;
    if (!table_choice(side, i, list_start[i], list_start[i + 1] - 1, &best, &score)) break;
    if (score != promised) {
      result = TABLE_LINE_CONTRADICTS;
      break;
    }
    made[i] = move_stack[best];
    make_move(side, made[i]);
    moves[i] = move_key(made[i].from, made[i].to);
    flags[i] = static_cast<uint16_t>(made[i].flags);
    i++;
    side ^= 1;
    // A draw is shown by its first move; a mate is played out.
    if (score > -MATE_BOUND && score < MATE_BOUND) break;
  }
  for (int k = i - 1; k >= start; k--) {
    side ^= 1;
    unmake_move(side, made[k]);
  }
  if (result != TABLE_LINE_CONTRADICTS) {
    moves[i] = 0;
    flags[i] = 0;
    result = i;
  }
  ply = saved_ply;
  last_to_square = saved_last_to;
  return result;
}
