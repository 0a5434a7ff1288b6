// Distance-to-mate endgame tables: what the engine asks of them. One file
// per kind of table support (search/tables_<kind>.cpp) answers; a build
// without the probing library answers that it knows no table.
#pragma once

#include <cstdint>

// What the tables say of a position, for the side to move.
enum : uint8_t { TABLE_DRAW = 0, TABLE_WIN = 1, TABLE_LOSS = 2 };
struct TableResult {
  uint8_t outcome;  // TABLE_*
  int plies;        // to the mate, counting the mating move; 0 when mated
};

// Most men in a position the tables found cover; 0 when no table is open.
// Written only between searches, read by every search thread.
extern int tables_men;

// Opens the tables in `folders` (separated by ';'; empty closes them) with a
// cache of `cache_megabytes`. Tells the GUI in one info string what it found,
// or what was wrong, in which case the tables stay off.
void tables_open(const char* folders, int32_t cache_megabytes);
// Closes whatever is open (the engine's exit, a table found wrong in use).
void tables_close();
// The tables' result for the current thread's position with `side` to move;
// false when they do not know it. Safe from several search threads.
bool tables_probe(uint8_t side, TableResult* result);
