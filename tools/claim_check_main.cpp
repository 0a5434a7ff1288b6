// claim-check: the engine's mate claims against exhaustive search on rules
// of our own, over random positions.
//   claim-check [--engine PATH] [--seed N] [--positions N] [--max-moves N]
//               [--threads N] [--per-engine N] [--verbose]
// Prints what it judged; exits 1 when a claim was false or the engine
// failed, 2 on bad arguments.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tools/claim_check.h"

#ifndef TERVALK_DEFAULT_PATH
#define TERVALK_DEFAULT_PATH "tervalk"
#endif

namespace {

int usage() {
  std::fprintf(stderr,
               "usage: claim-check [--engine PATH] [--seed N] [--positions N] [--max-moves N] [--threads N] "
               "[--per-engine N] [--verbose]\n");
  return 2;
}

// A whole number from `least` to `most`.
bool read_number(const char* text, long long least, long long most, long long* value) {
  char* end = nullptr;
  const long long number = std::strtoll(text, &end, 10);
  if (end == text || *end != '\0' || number < least || number > most) return false;
  *value = number;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  ClaimCheckSettings settings;
  settings.engine = TERVALK_DEFAULT_PATH;
  for (int i = 1; i < argc; i++) {
    const char* arg = argv[i];
    const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
    long long number = 0;
    if (std::strcmp(arg, "--verbose") == 0) {
      settings.verbose = true;
      continue;
    }
    if (value == nullptr) return usage();
    i++;
    if (std::strcmp(arg, "--engine") == 0) {
      settings.engine = value;
    } else if (std::strcmp(arg, "--seed") == 0 && read_number(value, 0, INT64_MAX, &number)) {
      settings.seed = static_cast<uint64_t>(number);
    } else if (std::strcmp(arg, "--positions") == 0 && read_number(value, 1, 100000000, &number)) {
      settings.positions = static_cast<int>(number);
    } else if (std::strcmp(arg, "--max-moves") == 0 && read_number(value, 1, 5, &number)) {
      settings.max_moves = static_cast<int>(number);
    } else if (std::strcmp(arg, "--threads") == 0 && read_number(value, 1, 256, &number)) {
      settings.threads = static_cast<int>(number);
    } else if (std::strcmp(arg, "--per-engine") == 0 && read_number(value, 1, 100000000, &number)) {
      settings.positions_per_engine = static_cast<int>(number);
    } else {
      return usage();
    }
  }
  const ClaimReport report = run_claim_check(settings);
  for (const std::string& f : report.false_claims) std::printf("FALSE %s\n", f.c_str());
  for (const std::string& f : report.failures) std::printf("FAILURE %s\n", f.c_str());
  std::printf("%s\n", claim_summary(report).c_str());
  return report.false_claims.empty() && report.failures.empty() ? 0 : 1;
}
