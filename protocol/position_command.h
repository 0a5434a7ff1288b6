// The position command.
#pragma once

constexpr int SETBOARD_TEXT_SIZE = 128;  // up to 127 characters
constexpr int SETBOARD_PREFIX_LENGTH = 9;  // "setboard "
constexpr int PONDER_MOVE_TEXT_SIZE = 16;

// "setboard " and the five FEN fields of the last position command with a FEN.
extern char setboard_text[SETBOARD_TEXT_SIZE];
// The last move text of the last position command, while NewPonder is on.
// Longer texts are cut, and stay too long to name a move.
extern char ponder_move_text[PONDER_MOVE_TEXT_SIZE];

// Sets up the position a position command describes. The move list is played
// up to its first text that names no legal move; a refused FEN leaves the
// start position and plays no move; a line too long to be taken whole, or
// with more moves than the game record holds, changes nothing. Each refusal
// is reported on an info string line. Returns 1 when the last move of its
// move list was played.
int handle_position(const char* line);
