// solve-check: runs solve --json on every problem of an EPD file up to a
// number of moves and checks each solution on the tools' own rules (see
// solution_judge.h); reports the cooks found and the times taken.
//   solve-check [--tool PATH] [--max-moves N] [--first K] [--tries] FILE.epd
// Exits 1 when a solution is wrong or the tool failed, 2 on bad arguments.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tools/child_process.h"
#include "tools/solution_judge.h"
#include "tools/suite_parse.h"

#ifndef TERVALK_SOLVE_PATH
#define TERVALK_SOLVE_PATH "tervalk-solve"
#endif

namespace {

struct CheckSettings {
  const char* tool = TERVALK_SOLVE_PATH;
  int max_moves = 3;
  long first = 0;  // 0: every problem
  bool tries = false;
  const char* epd = nullptr;
};

bool read_settings(int argc, char** argv, CheckSettings* s) {
  for (int i = 1; i < argc; i++) {
    const bool valued = i + 1 < argc;
    if (std::strcmp(argv[i], "--tool") == 0 && valued) {
      s->tool = argv[++i];
    } else if (std::strcmp(argv[i], "--max-moves") == 0 && valued) {
      s->max_moves = std::atoi(argv[++i]);
    } else if (std::strcmp(argv[i], "--first") == 0 && valued) {
      s->first = std::atol(argv[++i]);
    } else if (std::strcmp(argv[i], "--tries") == 0) {
      s->tries = true;
    } else if (argv[i][0] != '-' && s->epd == nullptr) {
      s->epd = argv[i];
    } else {
      return false;
    }
  }
  return s->epd != nullptr && s->max_moves >= 1;
}

// The tool's standard output for one problem, and its exit status.
std::string run_solve(const CheckSettings& s, const char* fen, int moves, int* status) {
  const std::string n = std::to_string(moves);
  std::vector<const char*> argv{s.tool, "--json"};
  if (s.tries) argv.push_back("--tries");
  argv.insert(argv.end(), {fen, n.c_str(), nullptr});
  std::string output;
  ChildProcess child;
  *status = -1;
  if (!child_start(&child, argv.data(), nullptr, nullptr)) return output;
  child_close_input(&child);
  char chunk[65536];
  for (int got; (got = child_read(&child, chunk, sizeof(chunk), 3600000)) > 0;) output.append(chunk, got);
  *status = child_wait(&child, 10000);
  child_end(&child);
  return output;
}

struct Tally {
  int problems = 0, failed = 0, cooks = 0;
  std::vector<std::pair<int, double>> times;  // moves and seconds of each problem
};

double median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  const size_t m = v.size() / 2;
  return v.size() % 2 != 0 ? v[m] : (v[m - 1] + v[m]) / 2;
}

// Solves and judges one problem; prints its line of the report.
void check_one(const CheckSettings& s, int line, const char* fen, int moves, MateJudge* judge, Tally* tally) {
  int status = -1;
  const auto start = std::chrono::steady_clock::now();
  const std::string output = run_solve(s, fen, moves, &status);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  JsonValue solution;
  SolutionFacts facts;
  std::string verdict = status != 0 ? "the tool exited with " + std::to_string(status)
                        : !json_read(output, &solution) ? "unreadable JSON"
                                                         : judge_solution(solution, s.tries, judge, &facts);
  tally->problems++;
  tally->times.emplace_back(moves, seconds);
  if (!verdict.empty()) tally->failed++;
  if (facts.keys > 1) tally->cooks++;
  std::printf("line %d #%d: %s, %d key%s, %d tries, %d nodes, %.3f s\n", line, moves,
              verdict.empty() ? "ok" : ("WRONG: " + verdict).c_str(), facts.keys, facts.keys == 1 ? "" : "s",
              facts.tries, facts.nodes, seconds);
  std::fflush(stdout);
  judge->clear();
}

void report(const Tally& t, int max_moves) {
  std::printf("%d problems, %d wrong, %d cooked\n", t.problems, t.failed, t.cooks);
  for (int m = 1; m <= max_moves; m++) {
    std::vector<double> v;
    for (const auto& [moves, seconds] : t.times)
      if (moves == m) v.push_back(seconds);
    if (!v.empty())
      std::printf("mate in %d: %zu problems, median %.3f s, longest %.3f s\n", m, v.size(), median(v),
                  *std::max_element(v.begin(), v.end()));
  }
}

}  // namespace

int main(int argc, char** argv) {
  CheckSettings s;
  if (!read_settings(argc, argv, &s)) {
    std::fprintf(stderr, "usage: solve-check [--tool PATH] [--max-moves N] [--first K] [--tries] FILE.epd\n");
    return 2;
  }
  std::FILE* file = std::fopen(s.epd, "r");
  if (file == nullptr) {
    std::fprintf(stderr, "solve-check: cannot read %s\n", s.epd);
    return 2;
  }
  MateJudge judge;
  Tally tally;
  char text[4096], fen[SUITE_FEN_SIZE];
  for (int line = 1, known = 0; std::fgets(text, sizeof(text), file) != nullptr; line++) {
    if (!parse_mate_epd(text, fen, &known) || known > s.max_moves) continue;
    check_one(s, line, fen, known, &judge, &tally);
    if (s.first > 0 && tally.problems == s.first) break;
  }
  std::fclose(file);
  report(tally, s.max_moves);
  return tally.failed == 0 && tally.problems > 0 ? 0 : 1;
}
