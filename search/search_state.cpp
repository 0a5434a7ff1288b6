// Storage of each search thread's own search state.
#include "search_state.h"

PER_THREAD uint32_t nodes;
PER_THREAD uint32_t next_poll_nodes;
PER_THREAD uint8_t search_aborted;
PER_THREAD uint16_t hash_move;
PER_THREAD uint8_t seldepth;
PER_THREAD uint8_t game_phase;

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
