// Game statistics per position, gathered in memory and written as the
// engine's book pair: BASE.ind (sorted keys) and BASE.dat (records).
#pragma once

#include <cstdint>

// Distinct keys the table holds; later new keys are counted as dropped.
constexpr int BOOK_TABLE_POSITIONS = 1 << 21;

constexpr int BOOK_INDEX_ENTRY_SIZE = 8;
constexpr int BOOK_DATA_RECORD_SIZE = 24;

void book_table_clear();

// Counts one game through the position `key` with `side` to move; result is
// RESULT_WHITE, RESULT_BLACK or RESULT_DRAW. False when the table is full.
bool book_table_add(uint32_t key, uint8_t side, int8_t result, uint16_t white_elo, uint16_t black_elo);

int book_table_size();
long book_table_dropped();

// Writes the positions with at least `min_games` games; returns how many, or
// -1 when a file cannot be written (errno tells why).
long write_book(const char* base, uint32_t min_games);
