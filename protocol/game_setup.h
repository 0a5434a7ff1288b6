// Setting up the game position: a new game, a position from a FEN, a
// position from scratch, and taking back the ponder move.
#pragma once

#include <cstdint>

// Resets the game to the start position.
void new_game();
// Recomputes lists, material, pawn attacks and keys from board and color.
void rebuild_position();
// Sets up the position of `text`: "setboard " and the board, side,
// castling and en-passant fields. Returns 1 when set; 0 when the text was
// refused (side field not "w" or "b", not exactly one king per side, the side
// not to move in check), which leaves the start position in place.
int16_t setup_fen(const char* text);
// Takes back the last move of the game (the ponder move) and switches
// side_to_move.
void take_back_ponder_move();
