// The problems of a mate-suite run over one engine.
#include "tools/suite_run.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "tools/suite_args.h"
#include "tools/suite_clock.h"
#include "tools/suite_csv.h"
#include "tools/suite_engine.h"
#include "tools/suite_notes.h"
#include "tools/suite_results.h"

namespace {

// With --claim: true when this copy is the first to take the problem. A copy
// whose engine was lost takes no more, leaving them to the others.
bool claim(const SuiteEntry& entry) {
  if (settings.claims == nullptr) return true;
  if (!engine_alive) return false;
  // Making a folder is atomic: of copies that try at once, one succeeds.
  const std::filesystem::path mark = std::filesystem::path(settings.claims) / std::to_string(entry.number);
  std::error_code error;
  const bool made = std::filesystem::create_directory(mark, error);
  if (error) {
    note_prefix();
    std::fprintf(stderr, "cannot claim problems in %s: %s\n", settings.claims, error.message().c_str());
    engine_alive = false;
  }
  return made && !error;
}

}  // namespace

// Its rows go to the CSV as they come, so that a run stopped early keeps
// them and a run whose job this is can follow them.
int run_suite(const std::vector<SuiteEntry>& entries) {
  std::error_code error;
  // Copies may make the folder at once: its being there is what counts.
  if (settings.claims != nullptr) std::filesystem::create_directories(settings.claims, error);
  if (settings.claims != nullptr && !std::filesystem::is_directory(settings.claims, error)) {
    note_prefix();
    std::fprintf(stderr, "cannot make %s\n", settings.claims);
    return 2;
  }
  std::FILE* csv = nullptr;
  if (settings.csv != nullptr) {
    csv = open_csv();
    if (csv == nullptr) return 2;
    std::fprintf(csv, "%s\n", RESULT_CSV_HEADER);
  }
  const auto run_start = SuiteClock::now();
  if (!start_engine()) {
    note_prefix();
    std::fprintf(stderr, "engine %s did not complete uci/isready\n", settings.engine);
    kill_engine();
    if (csv != nullptr) std::fclose(csv);
    return 1;
  }
  std::vector<ProblemResult> results;
  for (const SuiteEntry& entry : entries) {
    if (!claim(entry)) continue;
    ProblemResult result = unsearched(entry, engine_name);
    if (engine_alive) search_position(entry, &result);
    results.push_back(result);
    if (csv != nullptr) {
      write_result_row(csv, results.back());
      std::fflush(csv);
    }
    if (progress_wanted()) show_progress(results, static_cast<int>(entries.size()));
  }
  end_progress();
  quit_engine();
  if (csv != nullptr) std::fclose(csv);
  print_summary(results, engine_name, settings.ms, seconds_since(run_start));
  return 0;
}
