// Search state shared by the searches, the root driver and the output.
#pragma once

#include <cstdint>

#include "types.h"

extern uint32_t nodes;
extern uint32_t next_poll_nodes;
extern uint8_t search_aborted;
extern uint8_t stop_requested;
extern uint16_t hash_move;        // table move of the node being generated
extern uint8_t seldepth;
extern int8_t iteration_depth;    // 0 while no search runs
extern int32_t elapsed;           // centiseconds since the search started
extern uint32_t search_start;     // tick count / 10 at the search start
