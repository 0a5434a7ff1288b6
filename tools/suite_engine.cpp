// The engine of a mate-suite run, over its pipes.
#include "tools/suite_engine.h"

#include <cstdio>
#include <cstring>

#include "tools/mate_line.h"
#include "tools/suite_args.h"
#include "tools/suite_checks.h"
#include "tools/suite_clock.h"
#include "tools/suite_notes.h"
#include "tools/uci_child.h"

bool engine_alive = false;
char engine_name[256] = "?";

namespace {

constexpr int HANDSHAKE_MS = 30000;  // Hash allocation may take a while
constexpr int READY_MS = 10000;
constexpr int AFTER_STOP_MS = 10000;  // a sound engine answers stop at once
constexpr int QUIT_GRACE_MS = 2000;

UciChild engine;

bool starts_with_word(const char* line, const char* word) {
  const size_t n = std::strlen(word);
  return std::strncmp(line, word, n) == 0 && (line[n] == '\0' || line[n] == ' ' || line[n] == '\t');
}

// Waits for a line starting with `word`, ignoring others.
bool wait_for(const char* word, int timeout_ms) {
  const auto deadline = SuiteClock::now() + std::chrono::milliseconds(timeout_ms);
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

// The problem with what is set before it, then isready; false once the
// engine is lost.
bool send_problem(const SuiteEntry& entry) {
  char command[SUITE_FEN_SIZE + 32];
  std::snprintf(command, sizeof(command), "position fen %s", entry.fen);
  if (settings.new_game_each && !send_line(&engine, "ucinewgame")) {
    engine_lost("stopped reading");
    return false;
  }
  if (settings.matt_in_known) {
    char option[64];
    std::snprintf(option, sizeof(option), "setoption name Matt_in value %d", asked_moves(entry));
    if (!send_line(&engine, option)) {
      engine_lost("stopped reading");
      return false;
    }
  }
  if (!send_line(&engine, command) || !send_line(&engine, "isready") || !wait_for("readyok", READY_MS)) {
    engine_lost("did not answer isready");
    return false;
  }
  return true;
}

}  // namespace

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

void search_position(const SuiteEntry& entry, ProblemResult* result) {
  if (!setup_line_position(entry.fen)) return;  // accepted when the suite was read
  forget_keys();
  if (!send_problem(entry)) return;
  char go[32] = "go infinite";
  if (settings.go_mate) std::snprintf(go, sizeof(go), "go mate %d", asked_moves(entry));
  const auto go_sent = SuiteClock::now();
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
      take_no_mate(engine.line, entry, result);
      take_info(engine.line, entry, go_sent, result, &stop_wanted);
    }
    if (stop_wanted && !stop_sent) {
      send_line(&engine, "stop");
      stop_sent = true;
      answer_end = SuiteClock::now() + std::chrono::milliseconds(AFTER_STOP_MS);
    } else if (got == READ_TIMEOUT && stop_sent) {
      engine_lost("gave no bestmove after stop");
      return;
    }
  }
}

void quit_engine() { stop_child(&engine, QUIT_GRACE_MS); }

void kill_engine() { kill_child(&engine); }
