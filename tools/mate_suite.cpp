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
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "board.h"
#include "protocol/command_loop.h"
#include "search/ordering.h"
#include "tools/child_process.h"
#include "tools/mate_line.h"
#include "tools/scratch_dir.h"
#include "tools/std_streams.h"
#include "tools/suite_parse.h"
#include "tools/suite_results.h"
#include "tools/uci_child.h"

#ifndef TERVALK_DEFAULT_PATH
#define TERVALK_DEFAULT_PATH "tervalk"
#endif

namespace {

using Clock = std::chrono::steady_clock;

constexpr int MAX_OPTIONS = 64;
constexpr int EPD_LINE_SIZE = 4096;
constexpr int HANDSHAKE_MS = 30000;  // Hash allocation may take a while
constexpr int READY_MS = 10000;
constexpr int AFTER_STOP_MS = 10000;  // a sound engine answers stop at once
constexpr int QUIT_GRACE_MS = 2000;
constexpr int MATT_IN_MAX = 50;  // the option's announced range is 1..50
constexpr long long MAX_SHARDS = 1000000;
constexpr long long MAX_JOBS = 256;
constexpr int PROGRESS_MS = 500;
constexpr int JOB_EXIT_MS = 10000;  // after its output has closed

struct Settings {
  const char* engine = nullptr;  // --engine, else default_engine()
  int ms = 1000;
  const char* csv = nullptr;
  long first = 0;  // 0: every position
  int shard = 1;   // --shard shard/shards
  int shards = 1;
  int jobs = 1;
  const char* claims = nullptr;  // --claim: the folder where copies claim problems
  const char* options[MAX_OPTIONS];
  int option_count = 0;
  std::vector<const char*> inputs;  // the EPD file, or with --merge the CSV files
  const char* epd = nullptr;
  bool merge = false;
  bool quiet = false;  // no progress counter, no notes on skipped lines
  bool new_game_each = false;
  bool matt_in_known = false;
  bool go_mate = false;
  bool shorter = false;
};

struct Entry {
  int number;  // among the suite's problems, from 1
  char fen[SUITE_FEN_SIZE];
  int known;
};

// One copy of this tool on its share of the problems.
struct Job {
  ChildProcess process;
  std::string csv;
};

Settings settings;
UciChild engine;
bool engine_alive = false;
char engine_name[256] = "?";
bool stderr_terminal = false;
bool progress_shown = false;

long ms_since(Clock::time_point start) {
  return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

int ms_until(Clock::time_point deadline) {
  const long left = static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count());
  return left > 0 ? static_cast<int>(left) : 0;
}

bool starts_with_word(const char* line, const char* word) {
  const size_t n = std::strlen(word);
  return std::strncmp(line, word, n) == 0 && (line[n] == '\0' || line[n] == ' ' || line[n] == '\t');
}

// Notes go to stderr; on a terminal the line is cleared first, since a
// progress counter, ours or that of the run whose job we are, may stand on it.
void note_prefix() {
  if (stderr_terminal) std::fputs("\r\033[K", stderr);
  progress_shown = false;
  std::fputs("mate-suite: ", stderr);
}

// Without --engine the suite drives the tervalk installed beside it, else the
// one it was built with; started through PATH, it finds tervalk there too.
const char* default_engine(const char* self) {
  static std::string sibling;
  const std::filesystem::path me(self);
  if (!me.has_parent_path()) return "tervalk";
  // tervalk.exe beside mate-suite.exe on Windows.
  std::filesystem::path beside = me.parent_path() / "tervalk";
  beside.replace_extension(me.extension());
  std::error_code ignored;
  if (!std::filesystem::is_regular_file(beside, ignored)) return TERVALK_DEFAULT_PATH;
  sibling = beside.string();
  return sibling.c_str();
}

int usage() {
  std::fprintf(stderr,
               "usage: mate-suite [--engine PATH] [--ms N] [--csv FILE] [--first K] [--shard K/M] [--jobs N] "
               "[--claim DIR] [--option NAME=VALUE ...] [--matt-in-known] [--go-mate] [--shorter] [--ucinewgame] "
               "[--quiet] EPD\n"
               "       mate-suite --merge [--csv FILE] CSV...\n");
  return 2;
}

// A whole number from 1 to `most`.
bool read_count_text(const char* text, size_t length, long long most, int* value) {
  long long number = 0;
  if (!parse_digits(text, static_cast<int>(length), &number) || number < 1 || number > most) return false;
  *value = static_cast<int>(number);
  return true;
}

// "K/M" with 1 <= K <= M.
bool read_shard(const char* text) {
  const char* slash = std::strchr(text, '/');
  const bool read = slash != nullptr && read_count_text(text, slash - text, MAX_SHARDS, &settings.shard) &&
                    read_count_text(slash + 1, std::strlen(slash + 1), MAX_SHARDS, &settings.shards) &&
                    settings.shard <= settings.shards;
  if (!read) {
    note_prefix();
    std::fprintf(stderr, "--shard %s: wants K/M, whole numbers with 1 <= K <= M <= %lld\n", text, MAX_SHARDS);
  }
  return read;
}

bool read_jobs(const char* text) {
  const bool read = read_count_text(text, std::strlen(text), MAX_JOBS, &settings.jobs);
  if (!read) {
    note_prefix();
    std::fprintf(stderr, "--jobs %s: wants a whole number from 1 to %lld\n", text, MAX_JOBS);
  }
  return read;
}

bool read_settings(int argc, char** argv) {
  for (int i = 1; i < argc; i++) {
    const char* arg = argv[i];
    const bool has_value = i + 1 < argc;
    if (std::strcmp(arg, "--engine") == 0 && has_value) {
      settings.engine = argv[++i];
    } else if (std::strcmp(arg, "--ms") == 0 && has_value) {
      settings.ms = std::atoi(argv[++i]);
      if (settings.ms < 1) return false;
    } else if (std::strcmp(arg, "--csv") == 0 && has_value) {
      settings.csv = argv[++i];
    } else if (std::strcmp(arg, "--first") == 0 && has_value) {
      settings.first = std::atol(argv[++i]);
      if (settings.first < 1) return false;
    } else if (std::strcmp(arg, "--shard") == 0 && has_value) {
      if (!read_shard(argv[++i])) return false;
    } else if (std::strcmp(arg, "--jobs") == 0 && has_value) {
      if (!read_jobs(argv[++i])) return false;
    } else if (std::strcmp(arg, "--claim") == 0 && has_value) {
      settings.claims = argv[++i];
    } else if (std::strcmp(arg, "--option") == 0 && has_value) {
      if (settings.option_count == MAX_OPTIONS) return false;
      settings.options[settings.option_count++] = argv[++i];
    } else if (std::strcmp(arg, "--matt-in-known") == 0) {
      settings.matt_in_known = true;
    } else if (std::strcmp(arg, "--go-mate") == 0) {
      settings.go_mate = true;
    } else if (std::strcmp(arg, "--shorter") == 0) {
      settings.shorter = true;
    } else if (std::strcmp(arg, "--ucinewgame") == 0) {
      settings.new_game_each = true;
    } else if (std::strcmp(arg, "--quiet") == 0) {
      settings.quiet = true;
    } else if (std::strcmp(arg, "--merge") == 0) {
      settings.merge = true;
    } else if (arg[0] == '-') {
      return false;
    } else {
      settings.inputs.push_back(arg);
    }
  }
  if (settings.merge) return !settings.inputs.empty();
  if (settings.inputs.size() != 1) return false;
  settings.epd = settings.inputs[0];
  if (settings.engine == nullptr) settings.engine = default_engine(argv[0]);
  return true;
}

bool in_shard(int number) { return number >= settings.shard && (number - settings.shard) % settings.shards == 0; }

// Why a line that is no comment is no problem; nullptr when it is one.
const char* read_problem(const char* line, Entry* entry) {
  if (!parse_mate_epd(line, entry->fen, &entry->known)) return "not \"FEN bm #N;\"";
  if (settings.shorter && entry->known < 2) return "no shorter mate to ask for";
  if (!setup_line_position(entry->fen)) return "position refused";
  return nullptr;
}

// Reads this run's shard of the suite. Malformed lines and refused positions
// count as no problem; they are noted when `note_skipped`.
bool read_suite(std::vector<Entry>* entries, bool note_skipped) {
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
    Entry entry;
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

// Waits for a line starting with `word`, ignoring others.
bool wait_for(const char* word, int timeout_ms) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
  for (;;) {
    if (read_line(&engine, ms_until(deadline)) != READ_LINE) return false;
    if (starts_with_word(engine.line, word)) return true;
    if (starts_with_word(engine.line, "id") && std::strncmp(engine.line, "id name ", 8) == 0)
      std::snprintf(engine_name, sizeof(engine_name), "%.*s", static_cast<int>(sizeof(engine_name) - 1), engine.line + 8);
  }
}

void engine_lost(const char* what) {
  note_prefix();
  const char* rest =
      settings.claims != nullptr ? "this job takes no more" : "the remaining positions count as not found";
  std::fprintf(stderr, "engine %s; %s\n", what, rest);
  kill_child(&engine);
  engine_alive = false;
}

bool start_engine() {
  if (!start_child(&engine, settings.engine)) return false;
  engine_alive = true;
  if (!send_line(&engine, "uci") || !wait_for("uciok", HANDSHAKE_MS)) return false;
  for (int i = 0; i < settings.option_count; i++) {
    const char* option = settings.options[i];
    const char* equals = std::strchr(option, '=');
    char command[1024];
    if (equals == nullptr)
      std::snprintf(command, sizeof(command), "setoption name %s", option);
    else
      std::snprintf(command, sizeof(command), "setoption name %.*s value %s", static_cast<int>(equals - option), option,
                    equals + 1);
    if (!send_line(&engine, command)) return false;
  }
  return send_line(&engine, "isready") && wait_for("readyok", HANDSHAKE_MS);
}

// The mate distance asked for: the problem's, or with --shorter one less.
int asked_moves(const Entry& entry) { return std::min(settings.shorter ? entry.known - 1 : entry.known, MATT_IN_MAX); }

// "info string no mate in N" for the N asked.
void take_no_mate(const Entry& entry, ProblemResult* result) {
  const char* said = "info string no mate in ";
  if (std::strncmp(engine.line, said, std::strlen(said)) != 0) return;
  const char* number = engine.line + std::strlen(said);
  long long moves = 0;
  if (parse_digits(number, static_cast<int>(std::strlen(number)), &moves) && moves == asked_moves(entry))
    result->no_mate = true;
}

// The first moves of the problem's good mate lines within the distance
// asked: its keys, as many as the engine showed.
std::vector<std::string> keys_seen;

void count_key(const char* pv, ProblemResult* result) {
  const std::string key(pv, std::strcspn(pv, " \t\r\n"));
  if (std::find(keys_seen.begin(), keys_seen.end(), key) != keys_seen.end()) return;
  keys_seen.push_back(key);
  result->keys = static_cast<int>(keys_seen.size());
}

void take_info(const Entry& entry, Clock::time_point go_sent, ProblemResult* result, bool* stop_wanted) {
  InfoLine info;
  if (!parse_info(engine.line, &info)) return;
  if (info.has_nodes) {
    result->has_nodes = true;
    result->nodes = info.nodes;
  }
  if (info.has_nps) {
    result->nps_sum += info.nps;
    result->nps_lines++;
  }
  if (!info.has_mate || info.mate <= 0) return;
  // A bound says only which side of a score the truth lies, not that the
  // line shown is a mate: its moves need only be legal.
  const int verdict = info.pv == nullptr ? LINE_BAD_MOVE
                      : info.bound       ? check_line_legal(entry.fen, info.pv)
                                         : check_mate_line(entry.fen, info.pv, info.mate);
  const long ms = ms_since(go_sent);
  if (!info.bound) {
    if (result->found_mate == 0 || info.mate < result->found_mate) result->found_mate = info.mate;
    // A search for "go mate N" ends by itself once it has shown such a mate.
    if (info.mate <= asked_moves(entry) && !settings.go_mate) *stop_wanted = true;
  }
  if (verdict != LINE_GOOD) {
    if (!result->badpv) {
      note_prefix();
      std::fprintf(stderr, "position %d: mate %d line %s: %s\n", entry.number, info.mate, line_verdict_name(verdict),
                   info.pv != nullptr ? info.pv : "(no pv)");
    }
    result->badpv = true;
  } else if (!info.bound && info.mate == entry.known && !result->best) {
    result->best = true;
    result->ms_to_best = ms;
  }
  if (verdict == LINE_GOOD && !info.bound && info.mate <= asked_moves(entry)) count_key(info.pv, result);
}

// Sends the problem and searches it until a mate as short as the known one,
// the end of the budget, or the engine's loss.
void search_position(const Entry& entry, ProblemResult* result) {
  if (!setup_line_position(entry.fen)) return;  // accepted when the suite was read
  keys_seen.clear();
  char command[SUITE_FEN_SIZE + 32];
  std::snprintf(command, sizeof(command), "position fen %s", entry.fen);
  if (settings.new_game_each && !send_line(&engine, "ucinewgame")) {
    engine_lost("stopped reading");
    return;
  }
  if (settings.matt_in_known) {
    char option[64];
    std::snprintf(option, sizeof(option), "setoption name Matt_in value %d", asked_moves(entry));
    if (!send_line(&engine, option)) {
      engine_lost("stopped reading");
      return;
    }
  }
  if (!send_line(&engine, command) || !send_line(&engine, "isready") || !wait_for("readyok", READY_MS)) {
    engine_lost("did not answer isready");
    return;
  }

  char go[32] = "go infinite";
  if (settings.go_mate) std::snprintf(go, sizeof(go), "go mate %d", asked_moves(entry));
  const auto go_sent = Clock::now();
  if (!send_line(&engine, go)) {
    engine_lost("stopped reading");
    return;
  }
  const auto budget_end = go_sent + std::chrono::milliseconds(settings.ms);
  auto answer_end = budget_end;
  bool stop_sent = false;
  for (;;) {
    const int got = read_line(&engine, ms_until(stop_sent ? answer_end : budget_end));
    result->ms_used = ms_since(go_sent);
    if (got == READ_CLOSED) {
      engine_lost("closed its output");
      return;
    }
    bool stop_wanted = got == READ_TIMEOUT;
    if (got == READ_LINE) {
      if (starts_with_word(engine.line, "bestmove")) return;
      take_no_mate(entry, result);
      take_info(entry, go_sent, result, &stop_wanted);
    }
    if (stop_wanted && !stop_sent) {
      send_line(&engine, "stop");
      stop_sent = true;
      answer_end = Clock::now() + std::chrono::milliseconds(AFTER_STOP_MS);
    } else if (got == READ_TIMEOUT && stop_sent) {
      engine_lost("gave no bestmove after stop");
      return;
    }
  }
}

// A problem's result before its search, and the result of one never searched.
ProblemResult unsearched(const Entry& entry, const char* engine_id) {
  ProblemResult result;
  result.number = entry.number;
  result.fen = entry.fen;
  result.known = entry.known;
  result.asked = asked_moves(entry);
  result.budget_ms = settings.ms;
  result.engine = engine_id;
  return result;
}

// With --claim: true when this copy is the first to take the problem. A copy
// whose engine was lost takes no more, leaving them to the others.
bool claim(const Entry& entry) {
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

double seconds_since(Clock::time_point start) { return static_cast<double>(ms_since(start)) / 1000.0; }

// The problems one after the other with one engine; its rows go to the CSV
// as they come, so that a run stopped early keeps them and a run whose job
// this is can follow them.
int run_suite(const std::vector<Entry>& entries) {
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
  const auto run_start = Clock::now();
  if (!start_engine()) {
    note_prefix();
    std::fprintf(stderr, "engine %s did not complete uci/isready\n", settings.engine);
    kill_child(&engine);
    if (csv != nullptr) std::fclose(csv);
    return 1;
  }
  std::vector<ProblemResult> results;
  for (const Entry& entry : entries) {
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
  stop_child(&engine, QUIT_GRACE_MS);
  if (csv != nullptr) std::fclose(csv);
  print_summary(results, engine_name, settings.ms, seconds_since(run_start));
  return 0;
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

// Problem order; false when a problem comes twice, as from overlapping shards.
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

// This program, to start as a job. Windows takes a program named by a path
// only with its ".exe", which a command line may leave out.
std::string self_program(const char* argv0) {
  std::filesystem::path me(argv0);
  if (!me.has_parent_path() || me.has_extension()) return argv0;
  me += ".exe";
  std::error_code ignored;
  return std::filesystem::is_regular_file(me, ignored) ? me.string() : std::string(argv0);
}

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
void add_unclaimed(const std::vector<Entry>& entries, std::vector<ProblemResult>* results) {
  std::vector<int> taken;
  for (const ProblemResult& result : *results) taken.push_back(result.number);
  const std::string engine_id = results->empty() ? "?" : results->front().engine;
  for (const Entry& entry : entries)
    if (!std::binary_search(taken.begin(), taken.end(), entry.number))
      results->push_back(unsearched(entry, engine_id.c_str()));
}

// The problems over `count` copies of this tool, their rows merged.
int run_jobs(const char* self, const std::vector<Entry>& entries, int count) {
  std::FILE* csv = nullptr;
  if (settings.csv != nullptr && (csv = open_csv()) == nullptr) return 2;
  const std::string dir = make_scratch_dir("mate-suite-");
  if (dir.empty()) {
    note_prefix();
    std::fprintf(stderr, "cannot make a temporary folder for the jobs\n");
    if (csv != nullptr) std::fclose(csv);
    return 2;
  }
  const auto run_start = Clock::now();
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

}  // namespace

int main(int argc, char** argv) {
  stderr_terminal = stderr_is_terminal();
  if (!read_settings(argc, argv)) return usage();
  if (settings.merge) return merge_files();
  ensure_engine_ready();
  reset_history();

  // Skipped lines are noted once for the whole suite: by its first shard,
  // and with --jobs by this run rather than by its jobs.
  std::vector<Entry> entries;
  if (!read_suite(&entries, settings.shard == 1 && !settings.quiet)) return 2;
  const int jobs = std::min(settings.jobs, static_cast<int>(entries.size()));
  if (jobs > 1) return run_jobs(self_program(argv[0]).c_str(), entries, jobs);
  return run_suite(entries);
}
