// mate-suite: runs a UCI engine over an EPD file of known mates ("bm #N")
// and checks every mate it announces by replaying the line on our own board.
//   mate-suite [--engine PATH] [--ms N] [--csv FILE] [--first K]
//              [--shard K/M] [--jobs N] [--claim DIR] [--option NAME=VALUE ...]
//              [--matt-in-known] [--go-mate] [--shorter] [--ucinewgame] [--quiet] EPD
//   mate-suite --merge [--csv FILE] CSV...
// --shard K/M takes problems K, K+M, K+2M, ... so that job runners can spread
// one suite over machines; --merge sums their CSV files into the summary of
// one run. --jobs N runs N copies of this tool, each with its own engine,
// and merges their CSV files: processes rather than threads, since the board
// that checks the lines and the engine connection are one per process, and a
// job that fails harms no other. The copies share out the problems as they
// go, each taking the next one that it is first to claim in a folder
// (--claim DIR), since problems that use their whole budget would leave
// fixed shards uneven.
// --quiet drops the progress counter and the notes on skipped lines, as the
// jobs do: their run shows both.
// --matt-in-known sets Matt_in to each problem's stated distance before its
// search, as a problem solver does; --go-mate asks for that distance with
// `go mate N` instead of `go infinite`. An engine's "info string no mate in
// N" for the N asked is counted apart. --shorter asks for one move less than
// each problem's distance (problems of mate in 1 are left out), so that
// every answer should be that there is none: a shown mate of the length
// asked or shorter contradicts the suite.
// ucinewgame is sent only on request, so that the tables carry over from one
// problem to the next as they did in earlier measurements. An engine in a
// shard or a job searches different problems before each one than an engine
// over the whole suite: what its tables keep from them is all that the split
// changes, besides timing.
#include <algorithm>
#include <vector>

#include "protocol/command_loop.h"
#include "search/ordering.h"
#include "tools/std_streams.h"
#include "tools/suite_args.h"
#include "tools/suite_csv.h"
#include "tools/suite_jobs.h"
#include "tools/suite_notes.h"
#include "tools/suite_problems.h"
#include "tools/suite_run.h"

int main(int argc, char** argv) {
  stderr_terminal = stderr_is_terminal();
  if (!read_settings(argc, argv)) return usage();
  if (settings.merge) return merge_files();
  ensure_engine_ready();
  reset_history();

  // Skipped lines are noted once for the whole suite: by its first shard,
  // and with --jobs by this run rather than by its jobs.
  std::vector<SuiteEntry> entries;
  if (!read_suite(&entries, settings.shard == 1 && !settings.quiet)) return 2;
  const int jobs = std::min(settings.jobs, static_cast<int>(entries.size()));
  if (jobs > 1) return run_jobs(self_program(argv[0]).c_str(), entries, jobs);
  return run_suite(entries);
}
