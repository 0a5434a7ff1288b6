// Judging what the engine printed: every mate it claims must play out on the
// tests' own board.
#pragma once

#include <string>
#include <vector>

#include "tools/mate_line.h"
#include "tools/suite_parse.h"

struct MateClaim {
  int moves;        // N of "score mate N"
  bool bound;       // lowerbound or upperbound
  std::string pv;   // the moves after "pv"
};

// The "score mate N" lines with N > 0 among `lines`, in order.
inline std::vector<MateClaim> mate_claims(const std::vector<std::string>& lines) {
  std::vector<MateClaim> claims;
  for (const std::string& line : lines) {
    InfoLine info;
    if (!parse_info(line.c_str(), &info) || !info.has_mate || info.mate <= 0) continue;
    claims.push_back({info.mate, info.bound, info.pv != nullptr ? info.pv : ""});
  }
  return claims;
}

// The claims among `lines` that do not hold from `fen`: an exact one must be
// a mate of its length, a bound's line must be legal. Empty when all hold.
inline std::vector<std::string> false_claims(const std::string& fen, const std::vector<std::string>& lines) {
  std::vector<std::string> wrong;
  for (const MateClaim& c : mate_claims(lines)) {
    const int verdict =
        c.pv.empty() ? LINE_BAD_MOVE : c.bound ? check_line_legal(fen.c_str(), c.pv.c_str())
                                                : check_mate_line(fen.c_str(), c.pv.c_str(), c.moves);
    if (verdict != LINE_GOOD)
      wrong.push_back("mate " + std::to_string(c.moves) + (c.bound ? " (bound)" : "") + " pv " + c.pv + ": " +
                      line_verdict_name(verdict));
  }
  return wrong;
}

// The shortest exact mate among `lines`, its line in *pv; 0 for none.
inline int shortest_exact(const std::vector<std::string>& lines, std::string* pv) {
  int best = 0;
  for (const MateClaim& c : mate_claims(lines))
    if (!c.bound && (best == 0 || c.moves < best)) {
      best = c.moves;
      *pv = c.pv;
    }
  return best;
}

inline std::string joined(const std::vector<std::string>& texts) {
  std::string all;
  for (const std::string& t : texts) all += "\n  " + t;
  return all;
}
