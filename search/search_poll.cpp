// The searches' poll and the exact searches' budget of moves.
#include "search/search_poll.h"

#include "search/helper_threads.h"
#include "search_control.h"
#include "search_state.h"

namespace {

PollHook installed_hook;

}  // namespace

void set_poll_hook(PollHook hook) { installed_hook = hook; }

void search_poll(PollScope scope) {
  if (installed_hook != nullptr) installed_hook(scope);
}

void work_begin(WorkBudget* work, uint32_t moves, int32_t until_cs) {
  *work = WorkBudget{moves, WORK_POLL_EVERY, until_cs, false};
}

bool work_count(WorkBudget* work) {
  if (work->over) return false;
  if (work->moves_left == 0) {
    work->over = true;
    return false;
  }
  if (work->moves_left != NO_MOVE_LIMIT) work->moves_left--;
  if (--work->until_poll == 0) {
    work->until_poll = WORK_POLL_EVERY;
    if (helper_thread) {
      helper_look();
    } else {
      search_poll(POLL_INPUT);
      if (elapsed >= work->until_cs) work->over = true;
    }
  }
  if (search_aborted) work->over = true;
  return !work->over;
}
