// The perft positions kept with the tests: FEN and known leaf counts.
#pragma once

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

struct PerftLine {
  std::string fen;
  std::vector<std::pair<int, uint64_t>> counts;  // depth, leaves
};

// tests/data/perftsuite.epd: "FEN ;D1 n ;D2 n ...".
inline std::vector<PerftLine> perft_suite() {
  std::vector<PerftLine> lines;
  std::ifstream in(TEST_DATA_DIR "/perftsuite.epd");
  std::string text;
  while (std::getline(in, text)) {
    std::istringstream fields(text);
    PerftLine line;
    std::getline(fields, line.fen, ';');
    line.fen.erase(line.fen.find_last_not_of(" \r") + 1);
    std::string field;
    while (std::getline(fields, field, ';')) {
      int depth = 0;
      unsigned long long count = 0;
      if (std::sscanf(field.c_str(), " D%d %llu", &depth, &count) == 2) line.counts.emplace_back(depth, count);
    }
    if (!line.fen.empty()) lines.push_back(line);
  }
  return lines;
}
