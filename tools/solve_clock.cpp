// The problem's clock, through the searches' poll hook.
#include "tools/solve_clock.h"

#include <chrono>

#include "search/search_poll.h"
#include "search_control.h"
#include "search_state.h"

namespace {

std::chrono::steady_clock::time_point started;
double limit_seconds;

void poll(PollScope) {
  const double seconds = clock_seconds();
  elapsed = static_cast<int32_t>(seconds * 100);
  if (limit_seconds > 0 && seconds >= limit_seconds) search_aborted = 1;
}

}  // namespace

void clock_start(double seconds) {
  set_poll_hook(poll);
  started = std::chrono::steady_clock::now();
  limit_seconds = seconds;
  elapsed = 0;
  search_aborted = 0;
}

bool clock_expired() { return search_aborted != 0; }

double clock_seconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
}
