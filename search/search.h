// The mate-oriented alpha-beta searches below the root.
#pragma once

#include <cstdint>

#include "board/bitboards.h"
#include "types.h"

// The null-window bound of the root's mate tests: a score above it is a
// mate within the limit.
constexpr int16_t MATE_TEST = 9900;
constexpr uint8_t REDUCED_PROBE = 255;  // probe_mark of a reduced null-window probe
constexpr int QS_FROM_PROBE = 30;       // qs_mode of quiesce called by a reduced probe

// Full-width search of the node at the current ply for `side`; the caller
// raises ply before and lowers it after. Returns 0 from every node once the
// search is aborted. `probe_mark` is REDUCED_PROBE for a node searched as
// a reduced null-window probe; any other value (the root passes 0, each
// node its own + 1) is an ordinary node.
int16_t search(uint8_t side, uint8_t probe_mark, int16_t alpha, int16_t beta);

// What capture_marker records of the move searched at a ply: the
// destination + 1 of a capture, else 0.
inline uint8_t capture_mark(const Move& m) { return (m.flags & CAPTURE) ? static_cast<uint8_t>(m.to + 1) : 0; }

// Polls the input when its node count is due; from iteration 5 on a pending
// stop or the clock aborts the search. True when the node must return 0.
bool poll_and_stop();

// The search beyond the horizon: the defender only answers checks, the
// attacker stands pat, captures and gives checks.
int16_t quiesce(uint8_t side, int16_t alpha, int16_t beta, int qs_mode);

// Material balance of `side`, stored into material_diff[ply]; also
// recomputes game_phase.
int16_t root_material(uint8_t side);
// game_phase from the non-pawn material on the board.
void material_census();

// Whether the attacker's last moves at this ply form a perpetual check.
bool perpetual_check(uint8_t side);

// Move generators of quiesce, into the current ply's list.
void generate_captures(uint8_t side);
void generate_captures_and_checks(uint8_t side);

// The squares from which `piece` could attack `target` by its line geometry
// alone (blockers not considered); for a knight, any square within two king
// steps. Empty for pawns and kings.
inline uint64_t could_check_squares(int piece, int target) {
  const uint64_t self = square_bit(target);
  switch (piece) {
    case KNIGHT: return near_squares[target];
    case BISHOP: return diagonal_reach[target] | self;
    case ROOK: return straight_reach[target] | self;
    case QUEEN: return diagonal_reach[target] | straight_reach[target] | self;
    default: return 0;
  }
}

inline bool could_check(int piece, int from, int target) { return (could_check_squares(piece, target) >> from) & 1; }
