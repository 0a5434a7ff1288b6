// Input polling inside the search: the clock, and stop, quit, isready and
// ponderhit acted on at once.
#include "protocol/poll.h"

#include <cstdio>
#include <cstring>

#include "protocol/input.h"
#include "protocol/options.h"
#include "protocol/platform.h"
#include "protocol/search_limits.h"
#include "protocol/search_info.h"
#include "search/search_poll.h"
#include "search_control.h"
#include "search_state.h"
#include "settings.h"

uint8_t ponderhit_restart;
uint8_t stop_heard;

namespace {

char search_line[INPUT_BUFFER_SIZE];

// Once input has ended there is nothing more to wait for.
bool input_waiting() { return pending_has_line() || (!input_closed() && platform_input_waiting()); }

// Nobody can send stop to a search without an end of its own.
bool search_is_open_ended() { return time_mode == TM_INFINITE || pondering; }

void request_stop() {
  stop_heard = 1;
  if (search_aborted) return;
  stop_requested = 1;
  search_aborted = 1;
}

}  // namespace

void poll_input(int mode) {
  int32_t now = static_cast<int32_t>(platform_tick_ms() / 10 - search_start);
  elapsed = now < 0 ? 0 : now;
  if (!search_aborted && !pondering && search_limit_reached(elapsed * 10, reported_nodes())) {
    stop_requested = 1;
    search_aborted = 1;
  }
  if (mode == POLL_CLOCK_ONLY) return;
  // Once a stop is registered, later lines wait for the command loop.
  if (input_waiting() && !search_aborted && !stop_requested) handle_search_input();
  if (stop_after_nodes != 0 && nodes >= stop_after_nodes) {
    request_stop();
    pondering = 0;
  }
  next_poll_nodes = nodes + POLL_INTERVAL;
  // The next poll must come no later than the node count set for the stop.
  if (stop_after_nodes != 0 && !search_aborted && next_poll_nodes > stop_after_nodes) next_poll_nodes = stop_after_nodes;
  // The node limit counts as the info lines do, over every thread: the next
  // poll comes once this thread has made its share of what is left (with
  // helpers a quarter of it, since they may search faster than this thread).
  if (search_node_limit != 0 && !search_aborted) {
    const uint64_t counted = reported_nodes();
    const uint64_t left = counted < search_node_limit ? search_node_limit - counted : 0;
    const uint64_t share = thread_count > 1 ? left / (8 * static_cast<uint64_t>(thread_count)) : left / 2;
    if (next_poll_nodes - nodes > share) next_poll_nodes = nodes + static_cast<uint32_t>(share);
  }
}

namespace {

void poll_for_search(PollScope scope) { poll_input(scope == POLL_CLOCK ? POLL_CLOCK_ONLY : POLL_FULL); }

}  // namespace

void install_search_poll() { set_poll_hook(poll_for_search); }

namespace {

// The commands a running search, or a finished one whose bestmove waits,
// acts on; other words are left alone. Returns true when the word releases
// a waiting bestmove.
bool hear_search_command(const char* word, bool waiting) {
  if (std::strcmp(word, "quit") == 0) {
    if (!waiting) request_stop();
    quit_requested = 1;
    return true;
  }
  if (std::strcmp(word, "stop") == 0) {
    if (!waiting) request_stop();
    pondering = 0;
    return true;
  }
  if (std::strcmp(word, "isready") == 0) {
    std::fputs("readyok\n", stdout);
    std::fflush(stdout);
    return false;
  }
  if (std::strcmp(word, "ponderhit") == 0 && (pondering || !waiting)) {
    // The ponder move was played: with NewPonder the search restarts on it,
    // otherwise it goes on as the real one (or, over already, is answered).
    pondering = 0;
    if (new_ponder == 2) {
      ponderhit_restart = 1;
      if (!waiting) {
        stop_requested = 1;
        search_aborted = 1;
      }
    }
    return true;
  }
  return false;
}

// Takes the next line and acts on each of its words. A Threads setting is
// taken as well: it is read at the next go.
bool hear_search_line(bool waiting) {
  take_line(search_line);
  if (std::strncmp(search_line, "setoption name Threads ", 23) == 0) {
    handle_setoption(search_line);
    return false;
  }
  const int n = tokenize(search_line);
  bool released = false;
  for (int i = 0; i < n; i++)
    if (hear_search_command(tokens[i], waiting)) released = true;
  return released;
}

}  // namespace

void handle_search_input() {
  if (!pending_has_line()) {
    if (!platform_input_waiting()) return;
    if (fill_pending_input() <= 0) {
      // The input is over: a search with a limit still finishes and reports
      // (a script piped in expects its result); an open-ended one stops.
      if (search_is_open_ended()) request_stop();
      quit_requested = 1;
      return;
    }
    if (!pending_has_line()) return;
  }
  hear_search_line(false);
}

void hold_bestmove() {
  for (;;) {
    if (!pending_has_line()) {
      if (input_closed() || fill_pending_input() <= 0) {
        quit_requested = 1;
        return;
      }
      continue;
    }
    if (hear_search_line(true)) return;
  }
}
