// Storage of the search state shared by the searches, the root and the output.
#include "search_state.h"

PER_THREAD uint32_t nodes;
PER_THREAD uint32_t next_poll_nodes;
PER_THREAD uint8_t search_aborted;
uint8_t stop_requested;
PER_THREAD uint16_t hash_move;
PER_THREAD uint8_t seldepth;
int8_t iteration_depth;
int32_t elapsed;
uint32_t search_start;
int8_t search_matt_in = 15;
uint8_t search_zugzwang_safe;

PER_THREAD int16_t horizon[PLY_SLOTS];
PER_THREAD uint16_t node_flags[PLY_SLOTS];

PER_THREAD int16_t ext_count[PLY_SLOTS];
PER_THREAD uint8_t check_count[PLY_SLOTS];
PER_THREAD uint8_t null_ply[PLY_SLOTS];
PER_THREAD int16_t material_diff[PLY_SLOTS];
PER_THREAD uint8_t capture_marker[PLY_SLOTS];
PER_THREAD uint8_t probe_ply[2];
PER_THREAD uint32_t null_move_count[2];
PER_THREAD uint32_t qnodes;
uint8_t root_side;
int8_t reported_depth;
PER_THREAD uint8_t game_phase;
int32_t time_allotted = 999999900;
int32_t time_reserve;
