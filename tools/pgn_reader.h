// Splitting PGN text into games: the tags the book needs and the SAN words
// of the main line, with comments, NAGs and variations dropped.
#pragma once

#include <cstdint>
#include <cstdio>

// Moves kept per game; a book never looks deeper than the game record allows.
constexpr int PGN_MAX_MOVES = 800;
constexpr int PGN_MOVE_SIZE = 24;
constexpr int PGN_FEN_SIZE = 128;

enum : int8_t { RESULT_NONE = 0, RESULT_WHITE = 1, RESULT_BLACK = 2, RESULT_DRAW = 3 };

struct PgnGame {
  int8_t result;      // from the Result tag, else from the closing token
  int32_t white_elo;  // -1 without a readable tag
  int32_t black_elo;
  bool has_fen;       // a FEN tag was given
  bool setup_flag;    // SetUp "1"
  char fen[PGN_FEN_SIZE];
  int move_count;     // words kept in moves (later ones are dropped)
  char moves[PGN_MAX_MOVES][PGN_MOVE_SIZE];
};

// Characters come from an open file or from a text in memory.
struct PgnInput {
  std::FILE* file;
  const char* text;
  int pushed;  // one character read ahead, or PGN_NOTHING_PUSHED
};
constexpr int PGN_NOTHING_PUSHED = -2;

void pgn_open_file(PgnInput* in, std::FILE* file);
void pgn_open_text(PgnInput* in, const char* text);

// Reads the next game into *game; false when the input holds no further game.
bool read_pgn_game(PgnInput* in, PgnGame* game);
