// Input polling inside the search: the clock, and stop, quit, isready and
// ponderhit acted on at once.
#include "protocol/poll.h"

#include <cstdio>
#include <cstring>

#include "protocol/input.h"
#include "protocol/platform.h"
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
}

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
  take_line(search_line);
  const int n = tokenize(search_line);
  for (int i = 0; i < n; i++) {
    const char* word = tokens[i];
    if (std::strcmp(word, "quit") == 0) {
      request_stop();
      quit_requested = 1;
    } else if (std::strcmp(word, "stop") == 0) {
      request_stop();
      pondering = 0;
    } else if (std::strcmp(word, "isready") == 0) {
      std::fputs("readyok\n", stdout);
      std::fflush(stdout);
    } else if (std::strcmp(word, "ponderhit") == 0) {
      pondering = 0;
      if (new_ponder == 2) {
        ponderhit_restart = 1;
        stop_requested = 1;
        search_aborted = 1;
      }
    }
  }
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
    take_line(search_line);
    const int n = tokenize(search_line);
    bool released = false;
    for (int i = 0; i < n; i++) {
      const char* word = tokens[i];
      if (std::strcmp(word, "quit") == 0) {
        quit_requested = 1;
        released = true;
      } else if (std::strcmp(word, "stop") == 0) {
        pondering = 0;
        released = true;
      } else if (std::strcmp(word, "isready") == 0) {
        std::fputs("readyok\n", stdout);
        std::fflush(stdout);
      } else if (std::strcmp(word, "ponderhit") == 0 && pondering) {
        // The ponder search became the real one, and it is already over.
        pondering = 0;
        if (new_ponder == 2) ponderhit_restart = 1;
        released = true;
      }
    }
    if (released) return;
  }
}
