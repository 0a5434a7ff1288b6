// The mate problems kept with the tests: FEN and known distance, and small
// positions for the exhaustive judge of tools/mate_judge.h.
#pragma once

#include <fstream>
#include <string>
#include <vector>

#include "tools/suite_parse.h"

struct MateProblem {
  std::string fen;
  int moves;
};

// The problems of tests/data/mates.epd with a mate in at most `max_moves`.
inline std::vector<MateProblem> mate_problems(int max_moves) {
  std::vector<MateProblem> problems;
  std::ifstream file(TEST_DATA_DIR "/mates.epd");
  std::string line;
  char fen[SUITE_FEN_SIZE];
  int moves = 0;
  while (std::getline(file, line))
    if (parse_mate_epd(line.c_str(), fen, &moves) && moves <= max_moves) problems.push_back({fen, moves});
  return problems;
}

// Small positions with the rules a mate search can get wrong, small enough
// for the judge to decide every mate in up to three.
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
