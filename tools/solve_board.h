// Moves played on the engine's one board while solve walks a problem: each
// move made raises the ply, so that every list generated after it, and the
// prover's, takes the slice above the lists of the moves below.
#pragma once

#include <cstdint>
#include <vector>

#include "board.h"
#include "board/make_move.h"
#include "board/movegen.h"
#include "search/null_move.h"

// The legal moves of `side` in the position on the board, in the
// generator's order (a copy: the slice is free for the next list).
inline std::vector<Move> legal_moves_of(uint8_t side) {
  const bool checked = generate_replies(side);
  std::vector<Move> moves(move_stack + list_start[ply], move_stack + list_start[ply + 1]);
  std::vector<Move> legal;
  for (const Move& m : moves) {
    if (!make_if_legal(side, m, checked)) continue;
    unmake_move(side, m);
    legal.push_back(m);
  }
  return legal;
}

inline void play(uint8_t side, const Move& m) {
  make_move(side, m);
  ply++;
}
inline void take_back(uint8_t side, const Move& m) {
  ply--;
  unmake_move(side, m);
}

// The defender's pass, for the threat: legal only when not in check.
inline void play_pass() {
  make_null_move();
  ply++;
}
inline void take_back_pass() {
  ply--;
  unmake_null_move();
}
