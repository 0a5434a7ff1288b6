// Replaying a PGN game on the engine's board and counting the positions it
// passes through into the book table.
#pragma once

#include <cstdio>

#include "tools/pgn_reader.h"

// Rating counted for a player without a readable Elo tag.
constexpr int BOOK_DEFAULT_ELO = 2000;
constexpr int BOOK_DEFAULT_PLIES = 40;

// Plays the first `plies` moves of `game` (from its FEN, if any) and counts
// the position after each of them once. A move that cannot be read or is not
// legal is reported on `report` with `source` and `game_number`, and ends the
// replay; the positions before it still count. Games without a result are not
// replayed. Returns the number of positions counted.
int add_game_to_book(const PgnGame& game, int plies, const char* source, long game_number, std::FILE* report);
