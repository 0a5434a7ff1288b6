// The mate suite's results per problem: the CSV rows that carry them between
// runs, shards and machines, and the summary computed from them, so that a
// merge of shards prints what one run over the whole suite prints.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

struct ProblemResult {
  int number = 0;  // 1-based among the suite's problems, whatever the shard
  std::string fen;
  int known = 0;       // the stated mate distance
  int found_mate = 0;  // shortest exact mate announced; 0 for none
  bool best = false;
  bool badpv = false;
  long ms_to_best = -1;
  bool has_nodes = false;
  uint64_t nodes = 0;
  long ms_used = 0;  // from go to bestmove
  uint64_t nps_sum = 0;
  uint64_t nps_lines = 0;  // info lines that gave nps
  int budget_ms = 0;
  std::string engine;  // its id name
  int asked = 0;       // the mate distance asked for (the stated one, or one less)
  bool no_mate = false;  // the engine said it proved there is no mate in `asked`
  int keys = 0;          // first moves shown with a good mate line of at most `asked` moves
};

// The older columns first, as scripts read them. Files of the earlier
// headers, which end before `asked` or before `keys`, are read too (asked as
// known, no_mate and keys 0).
constexpr const char* RESULT_CSV_HEADER =
    "index,fen,known,found_mate,best,badpv,ms_to_best,nodes,ms_used,nps_sum,nps_lines,budget_ms,engine,asked,no_mate,"
    "keys";

void write_result_row(std::FILE* csv, const ProblemResult& result);

// Appends the rows of a CSV text that starts with RESULT_CSV_HEADER. False,
// with the reason in *error, for any other header or a malformed row.
bool read_result_rows(const std::string& text, std::vector<ProblemResult>* rows, std::string* error);

struct Tally {
  int total = 0;
  int best = 0;
  int found = 0;
  int badpv = 0;
  std::vector<long> best_ms;
  int no_mate = 0;
  std::vector<long> no_mate_ms;  // from go to bestmove
  int several_keys = 0;          // problems shown with more than one key
};

// The problems whose stated distance lies in shortest..longest.
Tally tally_results(const std::vector<ProblemResult>& rows, int shortest, int longest);

// The summary, its RESULT line last: the engine line, then one line per
// range of mate lengths, then the whole suite's counts.
void print_summary(const std::vector<ProblemResult>& rows, const char* engine, int budget_ms, double seconds);
