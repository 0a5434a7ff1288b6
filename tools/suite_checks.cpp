// Checking what the engine shows during a search.
#include "tools/suite_checks.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/mate_line.h"
#include "tools/suite_args.h"
#include "tools/suite_notes.h"
#include "tools/suite_parse.h"

namespace {

// The first moves of the problem's good mate lines within the distance
// asked: its keys, as many as the engine showed.
std::vector<std::string> keys_seen;

void count_key(const char* pv, ProblemResult* result) {
  const std::string key(pv, std::strcspn(pv, " \t\r\n"));
  if (std::find(keys_seen.begin(), keys_seen.end(), key) != keys_seen.end()) return;
  keys_seen.push_back(key);
  result->keys = static_cast<int>(keys_seen.size());
}

}  // namespace

void forget_keys() { keys_seen.clear(); }

void take_no_mate(const char* line, const SuiteEntry& entry, ProblemResult* result) {
  const char* said = "info string no mate in ";
  if (std::strncmp(line, said, std::strlen(said)) != 0) return;
  const char* number = line + std::strlen(said);
  long long moves = 0;
  if (parse_digits(number, static_cast<int>(std::strlen(number)), &moves) && moves == asked_moves(entry))
    result->no_mate = true;
}

void take_info(const char* line, const SuiteEntry& entry, SuiteClock::time_point go_sent, ProblemResult* result,
               bool* stop_wanted) {
  InfoLine info;
  if (!parse_info(line, &info)) return;
  if (info.has_nodes) {
    result->has_nodes = true;
    result->nodes = info.nodes;
  }
  if (info.has_nps) {
    result->nps_sum += info.nps;
    result->nps_lines++;
  }
  if (!info.has_mate || info.mate <= 0) return;
  // A bound says only which side of a score the truth lies, not that the
  // line shown is a mate: its moves need only be legal.
  const int verdict = info.pv == nullptr ? LINE_BAD_MOVE
                      : info.bound       ? check_line_legal(entry.fen, info.pv)
                                         : check_mate_line(entry.fen, info.pv, info.mate);
  const long ms = ms_since(go_sent);
  if (!info.bound) {
    if (result->found_mate == 0 || info.mate < result->found_mate) result->found_mate = info.mate;
    // A search for "go mate N" ends by itself once it has shown such a mate.
    if (info.mate <= asked_moves(entry) && !settings.go_mate) *stop_wanted = true;
  }
  if (verdict != LINE_GOOD) {
    if (!result->badpv) {
      note_prefix();
      std::fprintf(stderr, "position %d: mate %d line %s: %s\n", entry.number, info.mate, line_verdict_name(verdict),
                   info.pv != nullptr ? info.pv : "(no pv)");
    }
    result->badpv = true;
  } else if (!info.bound && info.mate == entry.known && !result->best) {
    result->best = true;
    result->ms_to_best = ms;
  }
  if (verdict == LINE_GOOD && !info.bound && info.mate <= asked_moves(entry)) count_key(info.pv, result);
}
