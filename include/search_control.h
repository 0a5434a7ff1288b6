// The running search's control. A helper thread reads the first group and
// never touches the second; the main thread writes the first only while no
// helper runs. Each search thread's own state is in search_state.h.
#pragma once

#include <cstdint>

// --- Set before the helpers start, read-only while they run --------------------
extern int8_t search_matt_in;         // mate limit in moves of the running search
extern uint8_t search_zugzwang_safe;  // the running search verifies the defender's null moves
extern uint8_t root_side;             // whose view fixes the sign of the draw score

// The draw score seen by `side`.
inline int16_t draw_score(uint8_t side, int16_t contempt_value) {
  return side == root_side ? contempt_value : static_cast<int16_t>(-contempt_value);
}

// --- The main thread's alone ----------------------------------------------------
extern uint8_t stop_requested;
extern int8_t iteration_depth;    // 0 while no search runs
extern int32_t elapsed;           // centiseconds since the search started
extern uint32_t search_start;     // tick count / 10 at the search start
extern int8_t reported_depth;     // the depth shown in info lines
extern int32_t time_allotted;     // centiseconds
extern int32_t time_reserve;
