// Mates found by trying everything on the tests' own rules: the reference
// the engine's exact searches are held against.
#pragma once

#include "tools/chess_rules.h"

// Mate in at most k by the side to move.
inline bool brute_mates(const rules::Position& p, int k) {
  if (k < 1) return false;
  rules::MoveList attacks;
  rules::legal_moves(p, &attacks);
  for (int i = 0; i < attacks.count; i++) {
    rules::Position q = p;
    rules::play_move(&q, attacks.moves[i]);
    if (rules::checkmate(q)) return true;
    if (k == 1) continue;
    rules::MoveList defences;
    rules::legal_moves(q, &defences);
    bool all_lose = defences.count > 0;
    for (int j = 0; j < defences.count && all_lose; j++) {
      rules::Position r = q;
      rules::play_move(&r, defences.moves[j]);
      all_lose = brute_mates(r, k - 1);
    }
    if (all_lose) return true;
  }
  return false;
}

// Small positions with the rules a mate search can get wrong.
inline constexpr const char* BRUTE_FORCE_FENS[] = {
    "k7/2R5/3P3K/8/8/8/8/8 w - - 0 1",         // 2.d8=Q mates, d8=R does not
    "6k1/2R5/8/5P2/5R2/2K5/1p6/8 w - - 0 1",   // 1...b1=N+ delays the mate
    "2k5/4PB2/1K6/8/8/8/8/8 w - - 0 1",        // only e8=Q mates at once
    "7k/5Q2/6K1/8/8/8/8/8 w - - 0 1",          // many mates, and stalemates to avoid
    "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1",    // castling on both sides
    "4k3/8/8/3pP3/8/8/8/4K2R w K d6 0 1",      // an en-passant capture exists
    "8/8/8/8/8/5k2/5p2/5K2 b - - 0 1",         // no mate at all
    "k7/8/1QK5/8/8/8/8/8 w - - 0 1",           // Qb7 mates, Qb6 and Kc7 stalemate
    "7k/5K2/6Q1/8/8/8/8/8 w - - 0 1",          // Qg7 mates; Qf6/Qg5.. stalemate traps
};
