// One-time initialisation of the engine's tables, and their release.
#pragma once

// Allocates and fills every table and opens the book pair. Returns 0, or the
// code of the allocation that failed: 1, 2 ray tables; 3, 4 history tables;
// 11 auxiliary table; 5, 6, 12 transposition and score tables.
int engine_init();
// Frees every heap table that is held.
void release_tables();
