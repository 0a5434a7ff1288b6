// Checking a reported mate line against the engine's own move rules.
#pragma once

#include <cstdint>

// Why a line is rejected; LINE_GOOD when it is a mate of the announced length.
enum : int {
  LINE_GOOD = 0,
  LINE_BAD_MOVE = 1,     // unreadable, not generated, or leaves the mover in check
  LINE_NO_MATE = 2,      // all moves legal but the defender is not checkmated at the end
  LINE_WRONG_LENGTH = 3  // a mate, but not in 2M - 1 plies
};

// Longest line replayed; the game record keeps far more room than this.
constexpr int MAX_LINE_PLIES = 256;

// Sets up the board, side, castling and en-passant fields of `fen` as the
// global position; false when the position is refused.
bool setup_line_position(const char* fen);

// Replays `pv` (coordinate moves separated by blanks) from the current
// position, which is restored afterwards, and judges it as a claim of
// mate in `mate_moves` for the side to move.
int check_mate_line(const char* pv, int mate_moves);

// 1 when `side` is in check and has no legal move on the current position.
int16_t checkmated(uint8_t side);

const char* line_verdict_name(int verdict);
