// The CSV files of mate-suite's results.
#include "tools/suite_csv.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#include "tools/suite_args.h"
#include "tools/suite_notes.h"

std::FILE* open_csv() {
  std::FILE* csv = std::fopen(settings.csv, "w");
  if (csv == nullptr) {
    note_prefix();
    std::fprintf(stderr, "cannot write %s\n", settings.csv);
  }
  return csv;
}

void write_csv(std::FILE* csv, const std::vector<ProblemResult>& results) {
  std::fprintf(csv, "%s\n", RESULT_CSV_HEADER);
  for (const ProblemResult& result : results) write_result_row(csv, result);
  std::fclose(csv);
}

bool read_file_text(const char* path, std::string* text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  *text = bytes.str();
  return true;
}

bool read_result_file(const char* path, std::vector<ProblemResult>* results) {
  std::string text, error;
  if (read_file_text(path, &text) && read_result_rows(text, results, &error)) return true;
  note_prefix();
  std::fprintf(stderr, "%s: %s\n", path, error.empty() ? "cannot read" : error.c_str());
  return false;
}

bool order_results(std::vector<ProblemResult>* results) {
  const auto earlier = [](const ProblemResult& a, const ProblemResult& b) { return a.number < b.number; };
  const auto same = [](const ProblemResult& a, const ProblemResult& b) { return a.number == b.number; };
  std::sort(results->begin(), results->end(), earlier);
  const auto twice = std::adjacent_find(results->begin(), results->end(), same);
  if (twice == results->end()) return true;
  note_prefix();
  std::fprintf(stderr, "problem %d comes twice: the shards overlap\n", twice->number);
  return false;
}

// The CSV files of shards as one run. Its time is the longest file's engine
// time, as if the shards had run side by side.
int merge_files() {
  std::vector<ProblemResult> results;
  long longest_ms = 0;
  for (const char* path : settings.inputs) {
    const size_t before = results.size();
    if (!read_result_file(path, &results)) return 2;
    long file_ms = 0;
    for (size_t i = before; i < results.size(); i++) file_ms += results[i].ms_used;
    longest_ms = std::max(longest_ms, file_ms);
  }
  if (!order_results(&results)) return 2;
  const bool alike = std::all_of(results.begin(), results.end(), [&](const ProblemResult& r) {
    return r.engine == results[0].engine && r.budget_ms == results[0].budget_ms;
  });
  if (!alike) {
    note_prefix();
    std::fprintf(stderr, "the rows differ in engine or budget; the summary names the first problem's\n");
  }
  if (settings.csv != nullptr) {
    std::FILE* csv = open_csv();
    if (csv == nullptr) return 2;
    write_csv(csv, results);
  }
  const char* engine = results.empty() ? "?" : results[0].engine.c_str();
  print_summary(results, engine, results.empty() ? 0 : results[0].budget_ms, static_cast<double>(longest_ms) / 1000.0);
  return 0;
}
