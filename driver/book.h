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

// A root move whose resulting position is in the book, with its statistics.
struct BookCandidate {
  uint16_t move;  // from << 6 | to
  uint32_t white_wins;
  uint32_t black_wins;
  uint32_t draws;
  uint32_t games;          // the three counts summed, held at 0xFFFFFFFF
  uint16_t own_rating;     // players of the side to move at the root
  uint16_t opponent_rating;
  uint16_t mark;           // 1 for the drawn candidate
  int16_t score_diff;      // check search minus root material balance
  int32_t performance;     // rating performance of the move
  int16_t weight;
};

extern BookCandidate book_candidates[BOOK_CANDIDATES];
// Some kept candidate scored no worse than 20 below the root balance.
extern uint8_t book_sound_move;

// Forgets the candidates of the previous search.
void book_new_search();
// Looks up the position after the root move (already made); a hit fills
// candidate n and returns 1.
int book_probe(int from, int to, int n, uint8_t side);
// Probes the root move (already made) and checks a hit with a one-ply search
// around the root balance; true when candidate n was filled and kept.
bool book_consider(int from, int to, int n, uint8_t side, int16_t balance);
// Weights the candidates, draws one with the random value (0 .. 32767) and
// sorts the drawn one first (the heaviest when nothing was drawn); returns
// its move.
uint16_t book_pick(int candidates, int random_value);
// Chooses among the candidates found; returns true when a book move was put
// first in the root list (pv_line[1] names it, search_aborted is set).
bool book_choose(int candidates);
