// Setting up the game position: a new game, a position from scratch.
#pragma once

// Resets the game to the start position.
void new_game();
// Recomputes lists, material, pawn attacks and keys from board and color.
void rebuild_position();
