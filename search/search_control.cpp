// Storage of the running search's control.
#include "search_control.h"

int8_t search_matt_in = 15;
uint8_t search_zugzwang_safe;
uint8_t root_side;

uint8_t stop_requested;
int8_t iteration_depth;
int32_t elapsed;
uint32_t search_start;
int8_t reported_depth;
int32_t time_allotted = 999999900;
int32_t time_reserve;
