// Repetitions and the fifty-move rule, read from the game record: each
// record keeps the key of the position before its move, so the positions 4,
// 6, 8, ... plies back, with the same side to move, are the records
// game_index - 3, - 5, ...
#pragma once

#include "board.h"

// How many of those positions, back to the record `oldest` (a game_index),
// have the current hash_key; counting stops at `enough`.
inline int repetitions(int oldest, int enough) {
  int found = 0;
  for (int i = game_index - 3; i >= oldest; i -= 2)
    if (game_record[i].prev_hash_key == hash_key && ++found == enough) break;
  return found;
}

// Positions before an irreversible move (a capture, a pawn move, a null
// move) cannot come back.
inline int repetitions_in_game(int enough) { return repetitions(irreversible_index + 1, enough); }

inline bool fifty_moves_passed() { return game_index - irreversible_index > 99; }
