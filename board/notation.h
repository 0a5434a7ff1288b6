// Move text: writing a move in the engine's four forms, and reading a move
// given in any of them.
#pragma once

#include <cstdint>

constexpr int MOVE_FORMS = 4;
constexpr int MOVE_TEXT_SIZE = 6;  // five characters and the terminator

// Forms of the last formatted move: 0 coordinates (e2e4, e7e8q), 1 short
// (Sf3, e4, ed, o-o), 2 with the origin rank (S1f3, ed5, 0-0), 3 with the
// origin file (Sgf3, O-O; empty for pawns).
extern char move_text[MOVE_FORMS][MOVE_TEXT_SIZE];

// Writes all forms of the move on the current board; the man must still
// stand on `from`.
void format_move(int from, int to, uint32_t flags);

// Plays the first generated move of side_to_move whose forms include `text`,
// if it is legal. Returns 1 when played (ply is then 0), 0 otherwise.
// side_to_move is left for the caller to switch.
int16_t enter_move(const char* text);
