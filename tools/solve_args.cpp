// Reading the command line of solve.
#include "tools/solve_args.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "search/proof_table.h"

SolveSettings solve_settings;

namespace {

constexpr int MAX_THREADS = 256;  // the engine's Threads option's range
constexpr double MAX_SECONDS = 1e6;

bool is(const char* word, const char* option) { return std::strcmp(word, option) == 0; }

// A whole number within [low, high]; false for anything else.
bool read_int(const char* text, long low, long high, long* value) {
  char* end = nullptr;
  const long v = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || v < low || v > high) return false;
  *value = v;
  return true;
}

bool read_seconds(const char* text, double* value) {
  char* end = nullptr;
  const double v = std::strtod(text, &end);
  if (end == text || *end != '\0' || !(v > 0) || v > MAX_SECONDS) return false;
  *value = v;
  return true;
}

// An option that takes a value; false when the value is missing or refused.
bool read_valued(const char* option, const char* value) {
  long n = 0;
  bool ok = value != nullptr;
  if (ok && is(option, "--time")) {
    ok = read_seconds(value, &solve_settings.seconds);
  } else if (ok && is(option, "--threads")) {
    ok = read_int(value, 1, MAX_THREADS, &n);
    solve_settings.threads = static_cast<int>(n);
  } else if (ok) {
    ok = read_int(value, 1, SOLVER_HASH_MAX, &n);
    solve_settings.hash_mb = static_cast<int32_t>(n);
  }
  if (!ok) std::fprintf(stderr, "solve: %s needs %s\n", option,
                        is(option, "--time")    ? "a number of seconds above 0"
                        : is(option, "--threads") ? "a whole number from 1 to 256"
                                                  : "megabytes from 1 to 1024");
  return ok;
}

}  // namespace

int solve_usage() {
  std::fprintf(stderr,
               "usage: solve [options] \"FEN\" N     White (or the side to move) mates in N\n"
               "       solve [options] FILE.epd     every line \"FEN dm N;\" or \"FEN bm #N;\"\n"
               "options:\n"
               "  --json          one JSON object per problem and line\n"
               "  --tries         also the first moves refuted by one defence alone\n"
               "  --time S        seconds per problem (default: no limit)\n"
               "  --threads N     accepted for scripts; the proof runs on one thread\n"
               "  --hash MB       megabytes for the solver's table (default 32)\n");
  return 2;
}

bool read_solve_settings(int argc, char** argv) {
  const char* positional[2] = {nullptr, nullptr};
  int count = 0;
  for (int i = 1; i < argc; i++) {
    const char* word = argv[i];
    if (is(word, "--json")) {
      solve_settings.json = true;
    } else if (is(word, "--tries")) {
      solve_settings.tries = true;
    } else if (is(word, "--time") || is(word, "--threads") || is(word, "--hash")) {
      if (!read_valued(word, i + 1 < argc ? argv[i + 1] : nullptr)) return false;
      i++;
    } else if (word[0] == '-' && word[1] == '-') {
      std::fprintf(stderr, "solve: unknown option %s\n", word);
      return false;
    } else if (count < 2) {
      positional[count++] = word;
    } else {
      std::fprintf(stderr, "solve: too many arguments (a FEN with blanks needs quotes)\n");
      return false;
    }
  }
  if (count == 0) return false;
  if (count == 1) {
    solve_settings.epd = positional[0];
  } else {
    solve_settings.fen = positional[0];
    solve_settings.moves = positional[1];
  }
  return true;
}
