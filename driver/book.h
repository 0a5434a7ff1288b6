// The opening book: a pair of files in the working directory.
#pragma once

#include <cstdint>
#include <cstdio>

extern std::FILE* book_data_file;
extern std::FILE* book_index_file;
extern uint8_t book_available;
extern uint32_t book_count;  // 8-byte entries in the index file

// Rating difference for a score percentage 0..100.
extern int16_t performance_table[101];

// Opens the book pair chosen by use_engine_book; a missing file only leaves
// book_available clear.
void book_open();
void book_close();
void fill_performance_table();

// Candidates of one search: at most this many root moves found in the book.
constexpr int BOOK_CANDIDATES = 64;

// Looks up the position after the root move (already made); a hit fills
// candidate n and returns 1.
int book_probe(int from, int to, int n, uint8_t side);
// Chooses among the candidates found; returns true when a book move was put
// first in the root list (pv_line[1] names it, search_aborted is set).
bool book_choose(int candidates);
