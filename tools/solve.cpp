// solve: the whole solution of direct-mate problems, for composers. Over the
// engine's library: its solver and prover decide and prove, nothing else.
//   solve [--json] [--tries] [--time S] [--threads N] [--hash MB] "FEN" N
//   solve [options] FILE.epd
#include <cstdio>

#include "protocol/command_loop.h"
#include "search/proof_table.h"
#include "tools/solve_args.h"
#include "tools/solve_clock.h"
#include "tools/solve_input.h"
#include "tools/solve_json.h"
#include "tools/solve_text.h"
#include "tools/solve_tree.h"

namespace {

// A problem that could not be read: named by its line, and the next goes on.
void note_bad(const SolveProblem& problem, const char* why) {
  if (problem.line > 0)
    std::fprintf(stderr, "solve: %s line %d: %s\n", solve_settings.epd, problem.line, why);
  else
    std::fprintf(stderr, "solve: %s\n", why);
}

// Solves and prints one problem; false when its position was refused.
bool solve_one(const SolveProblem& problem) {
  char why[SOLVE_WHY_SIZE];
  if (!set_up_problem(problem, why)) {
    note_bad(problem, why);
    return false;
  }
  clock_start(solve_settings.seconds);
  Solution solution;
  solve_position(problem.moves, solve_settings.tries, &solution);
  const double seconds = clock_seconds();
  if (solve_settings.json)
    print_json(stdout, problem, solution);
  else
    print_text(stdout, problem, solution, seconds);
  std::fflush(stdout);
  return true;
}

// Every problem of the file, one after another; false when any was unreadable.
bool solve_file(const char* path) {
  EpdReader reader;
  if (!epd_open(&reader, path)) {
    std::fprintf(stderr, "solve: cannot read %s\n", path);
    return false;
  }
  bool all_read = true;
  SolveProblem problem;
  char why[SOLVE_WHY_SIZE];
  for (ReadResult r; (r = epd_next(&reader, &problem, why)) != READ_END;) {
    if (r == READ_BAD) {
      note_bad(problem, why);
      all_read = false;
      continue;
    }
    all_read = solve_one(problem) && all_read;
  }
  epd_close(&reader);
  return all_read;
}

}  // namespace

int main(int argc, char** argv) {
  if (!read_solve_settings(argc, argv)) return solve_usage();
  ensure_engine_ready();
  if (!solver_table_allocate(solve_settings.hash_mb)) {
    std::fprintf(stderr, "solve: no memory for the solver's table\n");
    return 1;
  }
  if (solve_settings.threads > 1)
    std::fprintf(stderr, "solve: the proof runs on one thread; --threads %d changes nothing\n",
                 solve_settings.threads);
  if (solve_settings.epd != nullptr) return solve_file(solve_settings.epd) ? 0 : 1;
  SolveProblem problem;
  char why[SOLVE_WHY_SIZE];
  if (!problem_from_arguments(solve_settings.fen, solve_settings.moves, &problem, why)) {
    note_bad(problem, why);
    return 1;
  }
  return solve_one(problem) ? 0 : 1;
}
