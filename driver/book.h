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
