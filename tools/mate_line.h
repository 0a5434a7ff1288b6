// Checking a reported mate line with move rules of its own, apart from the
// engine's board.
#pragma once

// Why a line is rejected; LINE_GOOD when it is a mate of the announced length.
enum : int {
  LINE_GOOD = 0,
  LINE_BAD_MOVE = 1,     // unreadable or illegal move, or a starting position the rules refuse
  LINE_NO_MATE = 2,      // all moves legal but the defender is not checkmated at the end
  LINE_WRONG_LENGTH = 3  // a mate, but not in 2M - 1 plies
};

// Longest line replayed; the game record keeps far more room than this.
constexpr int MAX_LINE_PLIES = 256;

// Sets up the board, side, castling and en-passant fields of `fen` as the
// engine's global position; false when the engine refuses the position.
bool setup_line_position(const char* fen);

// Replays `pv` (coordinate moves separated by blanks) from `fen` and judges
// it as a claim of mate in `mate_moves` for the side to move there. Uses only
// the independent rules; the engine's position is not read or changed.
int check_mate_line(const char* fen, const char* pv, int mate_moves);

// LINE_GOOD when every move of `pv` is legal from `fen` (a line shown with
// a bound claims no mate), LINE_BAD_MOVE otherwise.
int check_line_legal(const char* fen, const char* pv);

const char* line_verdict_name(int verdict);
