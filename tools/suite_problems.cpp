// Reading the suite's EPD file.
#include "tools/suite_problems.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "tools/mate_line.h"
#include "tools/suite_args.h"
#include "tools/suite_notes.h"

namespace {

constexpr int EPD_LINE_SIZE = 4096;
constexpr int MATT_IN_MAX = 50;  // the option's announced range is 1..50

bool in_shard(int number) { return number >= settings.shard && (number - settings.shard) % settings.shards == 0; }

// Why a line that is no comment is no problem; nullptr when it is one.
const char* read_problem(const char* line, SuiteEntry* entry) {
  if (!parse_mate_epd(line, entry->fen, &entry->known)) return "not \"FEN bm #N;\"";
  if (settings.shorter && entry->known < 2) return "no shorter mate to ask for";
  if (!setup_line_position(entry->fen)) return "position refused";
  return nullptr;
}

}  // namespace

bool read_suite(std::vector<SuiteEntry>* entries, bool note_skipped) {
  std::FILE* file = std::fopen(settings.epd, "r");
  if (file == nullptr) {
    note_prefix();
    std::fprintf(stderr, "cannot open %s\n", settings.epd);
    return false;
  }
  static char line[EPD_LINE_SIZE];
  int line_number = 0;
  int problems = 0;
  while (std::fgets(line, sizeof(line), file) != nullptr) {
    line_number++;
    const size_t length = std::strcspn(line, "\r\n");
    SuiteEntry entry;
    const char* skipped = nullptr;
    if (line[length] == '\0' && !std::feof(file)) {
      // Longer than any real EPD line: skip the rest of it too.
      int c;
      while ((c = std::fgetc(file)) != EOF && c != '\n') {
      }
      skipped = "too long";
    } else {
      line[length] = '\0';
      const char* p = line;
      while (*p == ' ' || *p == '\t') p++;
      if (*p == '\0' || *p == '#') continue;
      skipped = read_problem(line, &entry);
    }
    if (skipped != nullptr) {
      if (note_skipped) {
        note_prefix();
        std::fprintf(stderr, "line %d skipped: %s\n", line_number, skipped);
      }
      continue;
    }
    entry.number = ++problems;
    if (in_shard(entry.number)) entries->push_back(entry);
    if (problems == settings.first) break;
  }
  std::fclose(file);
  return true;
}

int asked_moves(const SuiteEntry& entry) {
  return std::min(settings.shorter ? entry.known - 1 : entry.known, MATT_IN_MAX);
}

ProblemResult unsearched(const SuiteEntry& entry, const char* engine_id) {
  ProblemResult result;
  result.number = entry.number;
  result.fen = entry.fen;
  result.known = entry.known;
  result.asked = asked_moves(entry);
  result.budget_ms = settings.ms;
  result.engine = engine_id;
  return result;
}
