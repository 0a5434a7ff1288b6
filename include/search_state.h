// Search state each search thread owns: declared PER_THREAD, every helper
// thread has its own copy (the position of board.h too). What the main
// thread alone keeps, and what every thread reads but none writes during a
// search, is in search_control.h.
#pragma once

#include <cstdint>

#include "board.h"
#include "types.h"

extern PER_THREAD uint32_t nodes;
extern PER_THREAD uint32_t next_poll_nodes;
extern PER_THREAD uint8_t search_aborted;
extern PER_THREAD uint16_t hash_move;        // table move of the node being generated
extern PER_THREAD uint8_t seldepth;
extern PER_THREAD uint8_t game_phase;        // 0 opening .. 3 endgame

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

constexpr uint16_t IN_CHECK = 0x100;      // node_flags: the side to move is in check
constexpr int16_t THREAT_OPEN = 11000;

// What a node keeps of its own in the per-ply arrays, for a search of the
// same ply that must leave them as it found them.
struct PlyMarks {
  int16_t horizon, ext_count;
  uint16_t node_flags;
  uint8_t check_count;
};
inline PlyMarks ply_marks(int p) { return PlyMarks{horizon[p], ext_count[p], node_flags[p], check_count[p]}; }
inline void restore_ply_marks(int p, const PlyMarks& marks) {
  horizon[p] = marks.horizon;
  ext_count[p] = marks.ext_count;
  node_flags[p] = marks.node_flags;
  check_count[p] = marks.check_count;
}

// What a search run in the middle of another (a proof, a solver's turn)
// changes that the interrupted one must get back.
struct SearchMarks {
  int8_t ply;
  uint16_t hash_move;
  uint8_t last_to_square;
};
inline SearchMarks search_marks() { return SearchMarks{ply, hash_move, last_to_square}; }
inline void restore_search_marks(const SearchMarks& marks) {
  ply = marks.ply;
  hash_move = marks.hash_move;
  last_to_square = marks.last_to_square;
}
