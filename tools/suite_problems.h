// The suite's problems as this run takes them from the EPD file: its shard,
// up to --first, less the lines that are no problem.
#pragma once

#include <vector>

#include "tools/suite_parse.h"
#include "tools/suite_results.h"

struct SuiteEntry {
  int number;  // among the suite's problems, from 1
  char fen[SUITE_FEN_SIZE];
  int known;
};

// Reads this run's shard of the suite. Malformed lines and refused positions
// count as no problem; they are noted when `note_skipped`. False, noted, when
// the file cannot be opened.
bool read_suite(std::vector<SuiteEntry>* entries, bool note_skipped);

// The mate distance asked for: the problem's, or with --shorter one less.
int asked_moves(const SuiteEntry& entry);

// A problem's result before its search, and the result of one never searched.
ProblemResult unsearched(const SuiteEntry& entry, const char* engine_id);
