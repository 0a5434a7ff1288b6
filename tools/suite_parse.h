// Reading the two kinds of text the mate suite meets: EPD lines with a known
// mate distance, and the engine's UCI info lines.
#pragma once

#include <cstdint>

constexpr int SUITE_FEN_SIZE = 128;

// A text of decimal digits alone, no sign, at most 18 of them: false
// otherwise, so that nothing overflows.
bool parse_digits(const char* text, int length, long long* value);

// "FEN bm #N; ..." -> the first four FEN fields and N. False when the line
// has fewer than four fields, no "bm #N" with N >= 1, or a board too long.
bool parse_mate_epd(const char* line, char* fen, int* known);

struct InfoLine {
  bool has_mate;     // "score mate M" given
  bool bound;        // the score was a lowerbound or upperbound
  int mate;          // M, in moves of the side to move; negative when mated
  bool has_nodes;
  uint64_t nodes;
  bool has_nps;
  uint64_t nps;
  const char* pv;    // points into the parsed line after "pv"; nullptr without one
};

// Reads an "info ..." line; false for any other line. The pv runs to the end
// of the line; "info string" carries no fields.
bool parse_info(const char* line, InfoLine* info);
