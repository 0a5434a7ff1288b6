// Storage of the search state shared by the searches, the root and the output.
#include "search_state.h"

uint32_t nodes;
uint32_t next_poll_nodes;
uint8_t search_aborted;
uint8_t stop_requested;
uint16_t hash_move;
uint8_t seldepth;
int8_t iteration_depth;
int32_t elapsed;
uint32_t search_start;
