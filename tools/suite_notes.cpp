// Notes and the progress counter of mate-suite.
#include "tools/suite_notes.h"

#include <climits>
#include <cstdio>

#include "tools/suite_args.h"

bool stderr_terminal = false;

namespace {

bool progress_shown = false;

}  // namespace

// Notes go to stderr; on a terminal the line is cleared first, since a
// progress counter, ours or that of the run whose job we are, may stand on it.
void note_prefix() {
  if (stderr_terminal) std::fputs("\r\033[K", stderr);
  progress_shown = false;
  std::fputs("mate-suite: ", stderr);
}

bool progress_wanted() { return stderr_terminal && !settings.quiet; }

void show_progress(const std::vector<ProblemResult>& results, int total) {
  const Tally tally = tally_results(results, 1, INT_MAX);
  std::fprintf(stderr, "\r%d/%d best=%d found=%d badpv=%d", tally.total, total, tally.best, tally.found, tally.badpv);
  std::fflush(stderr);
  progress_shown = true;
}

void end_progress() {
  if (progress_shown) std::fputc('\n', stderr);
  progress_shown = false;
}
