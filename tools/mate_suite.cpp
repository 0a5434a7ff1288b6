// mate-suite: runs a UCI engine over an EPD file of known mates ("bm #N")
// and checks every mate it announces by replaying the line on our own board.
//   mate-suite [--engine PATH] [--ms N] [--csv FILE] [--first K]
//              [--option NAME=VALUE ...] [--matt-in-known] [--go-mate]
//              [--ucinewgame] EPD
// --matt-in-known sets Matt_in to each problem's stated distance before its
// search, as a problem solver does; --go-mate asks for that distance with
// `go mate N` instead of `go infinite`.
// ucinewgame is sent only on request, so that the tables carry over from one
// problem to the next as they did in earlier measurements.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "board.h"
#include "protocol/command_loop.h"
#include "search/ordering.h"
#include "tools/mate_line.h"
#include "tools/std_streams.h"
#include "tools/suite_parse.h"
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

struct Settings {
  const char* engine = nullptr;  // --engine, else default_engine()
  int ms = 1000;
  const char* csv = nullptr;
  long first = 0;  // 0: every position
  const char* options[MAX_OPTIONS];
  int option_count = 0;
  const char* epd = nullptr;
  bool new_game_each = false;
  bool matt_in_known = false;
  bool go_mate = false;
};

struct Entry {
  char fen[SUITE_FEN_SIZE];
  int known;
};

struct Outcome {
  int found_mate = 0;  // shortest exact mate announced; 0 for none
  bool best = false;
  bool badpv = false;
  long ms_to_best = -1;
  bool has_nodes = false;
  uint64_t nodes = 0;
};

Settings settings;
UciChild engine;
bool engine_alive = false;
char engine_name[256] = "?";
bool progress_shown = false;
uint64_t nps_sum = 0;
uint64_t nps_lines = 0;

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

// Notes go to stderr; on a terminal the progress counter is cleared first.
void note_prefix() {
  if (progress_shown) {
    std::fputs("\r\033[K", stderr);
    progress_shown = false;
  }
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
               "usage: mate-suite [--engine PATH] [--ms N] [--csv FILE] [--first K] "
               "[--option NAME=VALUE ...] [--matt-in-known] [--go-mate] [--ucinewgame] EPD\n");
  return 2;
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
    } else if (std::strcmp(arg, "--option") == 0 && has_value) {
      if (settings.option_count == MAX_OPTIONS) return false;
      settings.options[settings.option_count++] = argv[++i];
    } else if (std::strcmp(arg, "--matt-in-known") == 0) {
      settings.matt_in_known = true;
    } else if (std::strcmp(arg, "--go-mate") == 0) {
      settings.go_mate = true;
    } else if (std::strcmp(arg, "--ucinewgame") == 0) {
      settings.new_game_each = true;
    } else if (arg[0] == '-' || settings.epd != nullptr) {
      return false;
    } else {
      settings.epd = arg;
    }
  }
  if (settings.engine == nullptr) settings.engine = default_engine(argv[0]);
  return settings.epd != nullptr;
}

// Reads the suite; malformed lines and refused positions are skipped with a note.
bool read_suite(std::vector<Entry>* entries) {
  std::FILE* file = std::fopen(settings.epd, "r");
  if (file == nullptr) {
    note_prefix();
    std::fprintf(stderr, "cannot open %s\n", settings.epd);
    return false;
  }
  static char line[EPD_LINE_SIZE];
  int number = 0;
  while (std::fgets(line, sizeof(line), file) != nullptr) {
    number++;
    const size_t length = std::strcspn(line, "\r\n");
    if (line[length] == '\0' && !std::feof(file)) {
      // Longer than any real EPD line: skip the rest of it too.
      int c;
      while ((c = std::fgetc(file)) != EOF && c != '\n') {
      }
      note_prefix();
      std::fprintf(stderr, "line %d skipped: too long\n", number);
      continue;
    }
    line[length] = '\0';
    const char* p = line;
    while (*p == ' ' || *p == '\t') p++;
    if (*p == '\0' || *p == '#') continue;

    Entry entry;
    if (!parse_mate_epd(line, entry.fen, &entry.known)) {
      note_prefix();
      std::fprintf(stderr, "line %d skipped: not \"FEN bm #N;\"\n", number);
      continue;
    }
    if (!setup_line_position(entry.fen)) {
      note_prefix();
      std::fprintf(stderr, "line %d skipped: position refused\n", number);
      continue;
    }
    entries->push_back(entry);
    if (settings.first > 0 && static_cast<long>(entries->size()) == settings.first) break;
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
  std::fprintf(stderr, "engine %s; the remaining positions count as not found\n", what);
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

void take_info(const Entry& entry, int index, Clock::time_point go_sent, Outcome* outcome, bool* stop_wanted) {
  InfoLine info;
  if (!parse_info(engine.line, &info)) return;
  if (info.has_nodes) {
    outcome->has_nodes = true;
    outcome->nodes = info.nodes;
  }
  if (info.has_nps) {
    nps_sum += info.nps;
    nps_lines++;
  }
  if (!info.has_mate || info.mate <= 0) return;
  // A bound says only which side of a score the truth lies, not that the
  // line shown is a mate: its moves need only be legal.
  const int verdict = info.pv == nullptr ? LINE_BAD_MOVE
                      : info.bound       ? check_line_legal(entry.fen, info.pv)
                                         : check_mate_line(entry.fen, info.pv, info.mate);
  const long ms = ms_since(go_sent);
  if (!info.bound) {
    if (outcome->found_mate == 0 || info.mate < outcome->found_mate) outcome->found_mate = info.mate;
    // A search for "go mate N" ends by itself once it has shown such a mate.
    if (info.mate <= entry.known && !settings.go_mate) *stop_wanted = true;
  }
  if (verdict != LINE_GOOD) {
    if (!outcome->badpv) {
      note_prefix();
      std::fprintf(stderr, "position %d: mate %d line %s: %s\n", index + 1, info.mate, line_verdict_name(verdict),
                   info.pv != nullptr ? info.pv : "(no pv)");
    }
    outcome->badpv = true;
  } else if (!info.bound && info.mate == entry.known && !outcome->best) {
    outcome->best = true;
    outcome->ms_to_best = ms;
  }
}

void run_position(const Entry& entry, int index, Outcome* outcome) {
  if (!setup_line_position(entry.fen)) return;  // accepted when the suite was read
  char command[SUITE_FEN_SIZE + 32];
  std::snprintf(command, sizeof(command), "position fen %s", entry.fen);
  if (settings.new_game_each && !send_line(&engine, "ucinewgame")) {
    engine_lost("stopped reading");
    return;
  }
  if (settings.matt_in_known) {
    char option[64];
    std::snprintf(option, sizeof(option), "setoption name Matt_in value %d", std::min(entry.known, MATT_IN_MAX));
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
  if (settings.go_mate) std::snprintf(go, sizeof(go), "go mate %d", std::min(entry.known, MATT_IN_MAX));
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
    if (got == READ_CLOSED) {
      engine_lost("closed its output");
      return;
    }
    bool stop_wanted = got == READ_TIMEOUT;
    if (got == READ_LINE) {
      if (starts_with_word(engine.line, "bestmove")) return;
      take_info(entry, index, go_sent, outcome, &stop_wanted);
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

void show_progress(int done, int total, int best, int found, int badpv) {
  std::fprintf(stderr, "\r%d/%d best=%d found=%d badpv=%d", done, total, best, found, badpv);
  std::fflush(stderr);
  progress_shown = true;
}

void write_csv_row(std::FILE* csv, int index, const Entry& entry, const Outcome& o) {
  std::fprintf(csv, "%d,%s,%d,", index + 1, entry.fen, entry.known);
  if (o.found_mate > 0) std::fprintf(csv, "%d", o.found_mate);
  std::fprintf(csv, ",%d,%d,", o.best ? 1 : 0, o.badpv ? 1 : 0);
  if (o.best) std::fprintf(csv, "%ld", o.ms_to_best);
  std::fputc(',', csv);
  if (o.has_nodes) std::fprintf(csv, "%llu", static_cast<unsigned long long>(o.nodes));
  std::fputc('\n', csv);
}

long median(std::vector<long> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const size_t mid = values.size() / 2;
  return values.size() % 2 == 1 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (!read_settings(argc, argv)) return usage();
  ensure_engine_ready();
  reset_history();

  std::vector<Entry> entries;
  if (!read_suite(&entries)) return 2;

  std::FILE* csv = nullptr;
  if (settings.csv != nullptr) {
    csv = std::fopen(settings.csv, "w");
    if (csv == nullptr) {
      note_prefix();
      std::fprintf(stderr, "cannot write %s\n", settings.csv);
      return 2;
    }
    std::fputs("index,fen,known,found_mate,best,badpv,ms_to_best,nodes\n", csv);
  }

  const auto run_start = Clock::now();
  if (!start_engine()) {
    note_prefix();
    std::fprintf(stderr, "engine %s did not complete uci/isready\n", settings.engine);
    kill_child(&engine);
    if (csv != nullptr) std::fclose(csv);
    return 1;
  }

  const bool terminal = stderr_is_terminal();
  const int total = static_cast<int>(entries.size());
  int best = 0, found = 0, badpv = 0;
  std::vector<long> best_ms;
  for (int i = 0; i < total; i++) {
    Outcome outcome;
    if (engine_alive) run_position(entries[i], i, &outcome);
    if (outcome.best) {
      best++;
      best_ms.push_back(outcome.ms_to_best);
    }
    if (outcome.found_mate > 0) found++;
    if (outcome.badpv) badpv++;
    if (csv != nullptr) write_csv_row(csv, i, entries[i], outcome);
    if (terminal) show_progress(i + 1, total, best, found, badpv);
  }
  if (progress_shown) std::fputc('\n', stderr);
  stop_child(&engine, QUIT_GRACE_MS);
  if (csv != nullptr) std::fclose(csv);

  const uint64_t nps_avg = nps_lines > 0 ? nps_sum / nps_lines : 0;
  std::printf("engine \"%s\" positions=%d ms=%d time=%.1fs nps_avg=%llu (over %llu info lines)\n", engine_name, total,
              settings.ms, static_cast<double>(ms_since(run_start)) / 1000.0, static_cast<unsigned long long>(nps_avg),
              static_cast<unsigned long long>(nps_lines));
  std::printf("RESULT best=%d/%d found=%d badpv=%d median_ms=%ld\n", best, total, found, badpv, median(best_ms));
  return 0;
}
