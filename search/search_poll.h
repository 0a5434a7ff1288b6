// How the searches hear the GUI, and the one rule by which the exact
// searches (the proof-number solver, the prover, the check of a proof's
// line) budget their moves. The searches know nothing of the protocol: the
// command loop installs the poll they run.
#pragma once

#include <cstdint>

enum PollScope : uint8_t {
  POLL_CLOCK,  // elapsed refreshed, nothing read
  POLL_INPUT   // elapsed refreshed, and a waiting line acted on (stop, quit, isready, ponderhit)
};
using PollHook = void (*)(PollScope scope);

// Installed once, before the first search; until then a poll does nothing.
void set_poll_hook(PollHook hook);
// The main thread's poll. A helper thread never calls it: it reads no input.
void search_poll(PollScope scope);

// A budget without a limit of moves.
constexpr uint32_t NO_MOVE_LIMIT = UINT32_MAX;
// Moves an exact search makes between two polls.
constexpr uint32_t WORK_POLL_EVERY = 4096;

// The work of one exact search: it ends once it has made its moves, once
// its time is up (elapsed reaching until_cs, on the main thread), or once
// the search is stopped, whichever comes first. On a helper thread the poll
// is the helper's look at whether it must stop.
struct WorkBudget {
  uint32_t moves_left;  // NO_MOVE_LIMIT: no limit
  uint32_t until_poll;
  int32_t until_cs;
  bool over;
};

void work_begin(WorkBudget* work, uint32_t moves, int32_t until_cs = INT32_MAX);
// Counts one move about to be made; false (and from then on) when the work
// must end instead.
bool work_count(WorkBudget* work);
