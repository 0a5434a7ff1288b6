// The differential check of the engine's claims: random positions (castling
// rights, en-passant squares, promotions, zugzwangs), each searched by a
// running engine over its pipes in one of several ways, the same placement
// also with other rights right after it; every exact mate it shows and every
// "no mate in N" it says is judged by exhaustive search on the tools' own
// rules.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ClaimCheckSettings {
  std::string engine;        // path of the UCI engine
  uint64_t seed = 1;
  int positions = 100;       // placements generated (each searched once or twice)
  int max_moves = 3;         // the longest mate asked for and judged
  int threads = 1;           // the engine's Threads
  int positions_per_engine = 200;  // a fresh engine after this many
  int timeout_ms = 120000;   // longest wait for one search's end
  bool verbose = false;      // every search's command and verdict on stderr
};

struct ClaimReport {
  uint64_t searches = 0;
  uint64_t exact_claims = 0;     // "score mate N" lines without a bound, judged
  uint64_t distinct_claims = 0;  // of them, different in position, score or line
  uint64_t mated_claims = 0;     // of them, the side to move mated
  uint64_t no_mate_claims = 0;   // "info string no mate in N", judged
  uint64_t bounds = 0;           // bounds, whose lines were checked for legality
  uint64_t beyond_reach = 0;     // exact claims longer than the judge searches
  std::vector<std::string> false_claims;  // what was wrong, with the position and the search
  std::vector<std::string> failures;      // an engine that hung, died or answered nonsense
};

// Runs the check; the report says what was judged and what was false.
ClaimReport run_claim_check(const ClaimCheckSettings& settings);

// One line of figures for a report.
std::string claim_summary(const ClaimReport& report);
