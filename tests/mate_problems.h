// The mate problems kept with the tests: FEN and known distance.
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
