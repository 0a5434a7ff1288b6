// The jobs of a mate-suite run.
#include "tools/suite_jobs.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "tools/child_process.h"
#include "tools/scratch_dir.h"
#include "tools/suite_args.h"
#include "tools/suite_clock.h"
#include "tools/suite_csv.h"
#include "tools/suite_notes.h"
#include "tools/suite_results.h"

namespace {

constexpr int PROGRESS_MS = 500;
constexpr int JOB_EXIT_MS = 10000;  // after its output has closed

// One copy of this tool on its share of the problems.
struct Job {
  ChildProcess process;
  std::string csv;
};

// The arguments of a job: this run's settings, the folder where it claims
// problems, its rows into `csv`.
std::vector<std::string> job_arguments(const char* self, const std::string& claims, const std::string& csv) {
  std::vector<std::string> args = {self, "--engine", settings.engine, "--ms", std::to_string(settings.ms)};
  const std::string shard = std::to_string(settings.shard) + "/" + std::to_string(settings.shards);
  args.insert(args.end(), {"--shard", shard, "--claim", claims, "--csv", csv, "--quiet"});
  if (settings.first > 0) args.insert(args.end(), {"--first", std::to_string(settings.first)});
  for (int i = 0; i < settings.option_count; i++) args.insert(args.end(), {"--option", settings.options[i]});
  if (settings.matt_in_known) args.push_back("--matt-in-known");
  if (settings.go_mate) args.push_back("--go-mate");
  if (settings.shorter) args.push_back("--shorter");
  if (settings.new_game_each) args.push_back("--ucinewgame");
  args.push_back(settings.epd);
  return args;
}

bool start_jobs(const char* self, const std::string& dir, int count, std::vector<Job>* jobs) {
  // A folder given with --claim is shared with copies beyond this run.
  const std::string claims = settings.claims != nullptr ? settings.claims : dir + "/claims";
  for (int j = 0; j < count; j++) {
    Job job;
    job.csv = dir + "/job" + std::to_string(j + 1) + ".csv";
    const auto args = job_arguments(self, claims, job.csv);
    std::vector<const char*> argv;
    for (const std::string& arg : args) argv.push_back(arg.c_str());
    argv.push_back(nullptr);
    if (!child_start(&job.process, argv.data(), nullptr, nullptr)) {
      note_prefix();
      std::fprintf(stderr, "cannot start %s\n", self);
      return false;
    }
    child_close_input(&job.process);
    jobs->push_back(job);
  }
  return true;
}

// The rows the jobs have written so far, less any row still being written.
std::vector<ProblemResult> rows_so_far(const std::vector<Job>& jobs) {
  std::vector<ProblemResult> results;
  for (const Job& job : jobs) {
    std::string text, error;
    if (!read_file_text(job.csv.c_str(), &text)) continue;
    text.erase(text.find_last_of('\n') + 1);
    read_result_rows(text, &results, &error);
  }
  return results;
}

// Waits for every job to end; false when one failed, and then the others
// are ended too.
bool wait_for_jobs(std::vector<Job>* jobs, int total) {
  bool all_done = true;
  for (size_t j = 0; j < jobs->size(); j++) {
    ChildProcess* process = &(*jobs)[j].process;
    // Its output is only its own summary, which the merge replaces.
    char ignored[4096];
    while (all_done && child_read(process, ignored, sizeof(ignored), PROGRESS_MS) != CHILD_CLOSED)
      if (progress_wanted()) show_progress(rows_so_far(*jobs), total);
    const int status = all_done ? child_wait(process, JOB_EXIT_MS) : -1;
    child_end(process);
    if (all_done && status != 0) {
      note_prefix();
      std::fprintf(stderr, "job %d of %d failed (status %d)\n", static_cast<int>(j + 1),
                   static_cast<int>(jobs->size()), status);
      all_done = false;
    }
  }
  end_progress();
  return all_done;
}

void end_jobs(std::vector<Job>* jobs) {
  for (Job& job : *jobs) child_end(&job.process);
}

// Problems that no job took, since every engine was lost, count as not found.
void add_unclaimed(const std::vector<SuiteEntry>& entries, std::vector<ProblemResult>* results) {
  std::vector<int> taken;
  for (const ProblemResult& result : *results) taken.push_back(result.number);
  const std::string engine_id = results->empty() ? "?" : results->front().engine;
  for (const SuiteEntry& entry : entries)
    if (!std::binary_search(taken.begin(), taken.end(), entry.number))
      results->push_back(unsearched(entry, engine_id.c_str()));
}

}  // namespace

// Windows takes a program named by a path only with its ".exe", which a
// command line may leave out.
std::string self_program(const char* argv0) {
  std::filesystem::path me(argv0);
  if (!me.has_parent_path() || me.has_extension()) return argv0;
  me += ".exe";
  std::error_code ignored;
  return std::filesystem::is_regular_file(me, ignored) ? me.string() : std::string(argv0);
}

int run_jobs(const char* self, const std::vector<SuiteEntry>& entries, int count) {
  std::FILE* csv = nullptr;
  if (settings.csv != nullptr && (csv = open_csv()) == nullptr) return 2;
  const std::string dir = make_scratch_dir("mate-suite-");
  if (dir.empty()) {
    note_prefix();
    std::fprintf(stderr, "cannot make a temporary folder for the jobs\n");
    if (csv != nullptr) std::fclose(csv);
    return 2;
  }
  const auto run_start = SuiteClock::now();
  std::vector<Job> jobs;
  bool merged = start_jobs(self, dir, count, &jobs) && wait_for_jobs(&jobs, static_cast<int>(entries.size()));
  end_jobs(&jobs);
  std::vector<ProblemResult> results;
  for (const Job& job : jobs) merged = merged && read_result_file(job.csv.c_str(), &results);
  std::error_code ignored;
  std::filesystem::remove_all(dir, ignored);
  if (!merged || !order_results(&results)) {
    if (csv != nullptr) std::fclose(csv);
    return 1;
  }
  // Others that share a --claim folder may have taken what is missing here.
  if (settings.claims == nullptr) {
    add_unclaimed(entries, &results);
    order_results(&results);
  }
  if (csv != nullptr) write_csv(csv, results);
  print_summary(results, results.empty() ? "?" : results[0].engine.c_str(), settings.ms, seconds_since(run_start));
  return 0;
}
