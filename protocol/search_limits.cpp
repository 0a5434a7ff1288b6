// The limits of go that end a search when Obey_Limits is true.
#include "protocol/search_limits.h"

#include <algorithm>

#include "settings.h"

namespace {

// What a move's answer costs beyond the search: polling, the last info
// lines, the pipe and the GUI.
constexpr int32_t OVERHEAD_MS = 30;
// Without movestogo, the moves the time left is shared over.
constexpr int32_t MOVES_ASSUMED = 30;

}  // namespace

int32_t clock_allotment(int32_t left, int32_t increment, int32_t moves_to_go) {
  left = std::max(left, 0);
  increment = std::max(increment, 0);
  const int32_t moves = moves_to_go > 0 ? std::min(moves_to_go, MOVES_ASSUMED) : MOVES_ASSUMED;
  int32_t share = left / moves + increment * 3 / 4;
  // Never near the flag: at most half of what is left, less the overhead.
  share = std::min(share, left / 2 - OVERHEAD_MS);
  return std::max(share, 1);
}

void set_search_limits(bool obey, int32_t movetime_ms, int32_t nodes, const GoClock& clock, uint8_t side) {
  search_time_limit_ms = 0;
  search_node_limit = 0;
  if (!obey) return;
  if (movetime_ms > 0) search_time_limit_ms = std::max(movetime_ms - OVERHEAD_MS, 1);
  if (clock.given) {
    const int32_t share = clock_allotment(clock.time[side], clock.increment[side], clock.moves_to_go);
    if (search_time_limit_ms == 0 || share < search_time_limit_ms) search_time_limit_ms = share;
  }
  if (nodes > 0) search_node_limit = static_cast<uint32_t>(nodes);
}

bool search_limit_reached(int32_t ms, uint64_t nodes) {
  if (search_time_limit_ms > 0 && ms >= search_time_limit_ms) return true;
  return search_node_limit > 0 && nodes >= search_node_limit;
}
