// Search state shared by the searches, the root driver and the output.
#pragma once

#include <cstdint>

#include "types.h"

extern PER_THREAD uint32_t nodes;
extern PER_THREAD uint32_t next_poll_nodes;
extern PER_THREAD uint8_t search_aborted;
extern uint8_t stop_requested;
extern PER_THREAD uint16_t hash_move;        // table move of the node being generated
extern PER_THREAD uint8_t seldepth;
extern int8_t iteration_depth;    // 0 while no search runs
extern int32_t elapsed;           // centiseconds since the search started
extern uint32_t search_start;     // tick count / 10 at the search start
extern int8_t search_matt_in;     // mate limit in moves of the running search
extern uint8_t search_zugzwang_safe;  // the running search verifies the defender's null moves

// Per-ply state of the main search (plies 0 .. MAX_PLY).
extern PER_THREAD int16_t horizon[PLY_SLOTS];  // ply where full-width search ends; remaining depth = horizon - ply
extern PER_THREAD uint16_t node_flags[PLY_SLOTS];  // IN_CHECK 0x100, MATE_THREAT 0x40
extern PER_THREAD int16_t ext_count[PLY_SLOTS];      // plies of extension granted at the node
extern PER_THREAD uint8_t check_count[PLY_SLOTS];    // checks against this side along the line
extern PER_THREAD uint8_t null_ply[PLY_SLOTS];       // ply of this side's latest null move, 0 none
extern PER_THREAD int16_t material_diff[PLY_SLOTS];  // side to move's material minus the opponent's
extern PER_THREAD uint8_t capture_marker[PLY_SLOTS]; // destination + 1 of the capture searched, else 0
extern PER_THREAD uint8_t probe_ply[2];              // ply of a reduced probe in progress, per side
extern PER_THREAD uint32_t null_move_count[2];
extern PER_THREAD uint32_t qnodes;
extern uint8_t root_side;                 // whose view fixes the sign of the draw score
extern int8_t reported_depth;             // the depth shown in info lines
extern PER_THREAD uint8_t game_phase;                // 0 opening .. 3 endgame
extern int32_t time_allotted;             // centiseconds
extern int32_t time_reserve;

constexpr uint16_t IN_CHECK = 0x100;      // node_flags: the side to move is in check
constexpr int16_t THREAT_OPEN = 11000;

// The draw score seen by `side`.
inline int16_t draw_score(uint8_t side, int16_t contempt_value) {
  return side == root_side ? contempt_value : static_cast<int16_t>(-contempt_value);
}
