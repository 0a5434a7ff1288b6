// The rules of chess on a board of their own, with no part of the engine in
// them, so that the tools can check what the engine prints without trusting
// its move generator. Written to be read, not to be fast.
#pragma once

#include <cstdint>

namespace rules {

constexpr int WHITE = 0;
constexpr int BLACK = 1;

// 10x12 mailbox: the 8x8 board inside a frame of off-board cells, wide
// enough that a knight's jump from any square lands inside the array.
constexpr int BOARD_CELLS = 120;
// Above any legal move count with at most 16 men a side (15 queens and a king).
constexpr int MAX_MOVES = 512;
// "e7e8q" and the terminator.
constexpr int MOVE_TEXT_SIZE = 6;

// Cell contents: EMPTY, +type for white, -type for black, OFF outside.
constexpr int8_t EMPTY = 0, PAWN = 1, KNIGHT = 2, BISHOP = 3, ROOK = 4, QUEEN = 5, KING = 6, OFF = 7;

// Castling rights, in FEN order.
enum : int { WHITE_SHORT = 0, WHITE_LONG = 1, BLACK_SHORT = 2, BLACK_LONG = 3 };

struct Position {
  int8_t cell[BOARD_CELLS];
  int side;        // WHITE or BLACK to move
  bool castle[4];  // indexed by the castling rights above
  int ep;          // cell a pawn may capture en passant onto, 0 when none
  int halfmove;
  int fullmove;
};

struct Move {
  int8_t from, to;  // cells
  int8_t promotion; // piece type, EMPTY when none
};

struct MoveList {
  Move moves[MAX_MOVES];
  int count;
};

// Cell of a square, file and rank counted from 0 (a1 is 0, 0).
constexpr int cell_of(int file, int rank) { return 21 + file + 10 * rank; }

// Sets up `fen`: board, side, castling and en passant, then optionally the
// halfmove clock and move number (0 and 1 when absent). False, with *pos
// unspecified, when the text is malformed or the position impossible: not one
// king a side, more than 16 men or 8 pawns a side, a pawn on the first or last
// rank, the side not to move in check, a castling right without its king and
// rook at home, an en-passant square no pawn can just have passed.
bool set_fen(Position* pos, const char* fen);

// Every legal move of the side to move.
void legal_moves(const Position& pos, MoveList* list);

// Coordinate text as UCI writes it: "e2e4", "e7e8q", castling as "e1g1".
void move_text(const Move& move, char text[MOVE_TEXT_SIZE]);

// Plays a move that must come from legal_moves(*pos).
void play_move(Position* pos, const Move& move);

// Plays the legal move whose text is exactly `text`; false, leaving *pos as
// it was, when there is none.
bool play(Position* pos, const char* text);

bool in_check(const Position& pos);
bool checkmate(const Position& pos);
bool stalemate(const Position& pos);

}  // namespace rules
