// Setting up a position from the fields of a FEN text.
#include <cstring>

#include "board.h"
#include "board/attacks.h"
#include "protocol/game_setup.h"

namespace {

constexpr int PREFIX_LENGTH = 9;  // "setboard "

// The start position, in place of a board the engine cannot play on. (The
// lists cannot be outgrown: with a king per side, at most 62 other men of a
// side fit on the board, against 63 list places.)
int16_t refuse() {
  std::memcpy(board, initial_board.data(), sizeof(board));
  std::memcpy(color, initial_color.data(), sizeof(color));
  std::memset(moved_count, 0, sizeof(moved_count));
  castled[WHITE] = castled[BLACK] = 0;
  side_to_move = WHITE;
  ep_square = 0;
  rebuild_position();
  return 0;
}

// Piece code and colour of a FEN letter; false for any other character.
bool man_of_letter(char letter, uint8_t& piece, uint8_t& side) {
  static constexpr char black_letters[] = "pnbrqk";
  static constexpr char white_letters[] = "PNBRQK";
  for (int i = 0; i < 6; i++) {
    if (letter == black_letters[i] || letter == white_letters[i]) {
      piece = static_cast<uint8_t>(PAWN + i);
      side = letter == black_letters[i] ? BLACK : WHITE;
      return true;
    }
  }
  return false;
}

// Reads the board field into new_board/new_color. Only the count of eight
// squares ends a rank: separators and unknown characters fill nothing, and
// the empties of a digit that overruns the rank are dropped.
const char* read_board(const char* p, uint8_t* new_board, uint8_t* new_color) {
  for (int rank = 7; rank >= 0; rank--) {
    int file = 0;
    while (file < 8 && *p != '\0') {
      const char c = *p++;
      uint8_t piece = NO_PIECE, side = NEUTRAL;
      if (c >= '1' && c <= '8') {
        file += c - '0';
      } else if (man_of_letter(c, piece, side)) {
        new_board[make_square(file, rank)] = piece;
        new_color[make_square(file, rank)] = side;
        file++;
      }
    }
  }
  return p;
}

// An en-passant square is kept only where the capture it offers is sound:
// on the side's capture rank, empty, with the enemy pawn that just passed it.
bool ep_square_sound(int square, uint8_t side) {
  const int capture_rank = side == WHITE ? 5 : 2;
  const int passed = side == WHITE ? square - 8 : square + 8;
  return rank_of(square) == capture_rank && color[square] == NEUTRAL && board[passed] == PAWN &&
         color[passed] == (side ^ 1);
}

}  // namespace

int16_t setup_fen(const char* text) {
  uint8_t new_board[SQUARE_COUNT] = {};
  uint8_t new_color[SQUARE_COUNT];
  std::memset(new_color, NEUTRAL, sizeof(new_color));

  const char* p = text;
  for (int i = 0; i < PREFIX_LENGTH && *p != '\0'; i++) p++;
  p = read_board(p, new_board, new_color);

  if (*p != '\0') p++;  // the blank after the board
  const char side_letter = *p;
  if (side_letter != 'w' && side_letter != 'b') return refuse();
  const uint8_t side = side_letter == 'w' ? WHITE : BLACK;
  p++;
  if (*p != '\0') p++;

  // Corners whose rook may still castle; the king squares stay as they are.
  bool rook_fresh[SQUARE_COUNT] = {};
  if (*p == '-') {
    p++;
    if (*p != '\0') p++;
  } else if (*p == ' ') {
    p++;
  } else {
    for (; *p != '\0' && *p != ' '; p++) {
      if (*p == 'K') rook_fresh[7] = true;
      if (*p == 'Q') rook_fresh[0] = true;
      if (*p == 'k') rook_fresh[63] = true;
      if (*p == 'q') rook_fresh[56] = true;
    }
    if (*p != '\0') p++;
  }

  int ep = -1;
  if (*p != '\0' && *p != '-') {
    const int file = p[0] - 'a';
    const int rank = p[1] - '1';
    if (file >= 0 && file <= 7 && rank >= 0 && rank <= 7) ep = make_square(file, rank);
  }

  int kings[2] = {0, 0};
  for (int s = 0; s < SQUARE_COUNT; s++) {
    if (new_board[s] == KING) kings[new_color[s]]++;
    // No game reaches a pawn on the first or last rank, and the pawn tables
    // and promotions assume none stands there.
    if (new_board[s] == PAWN && (rank_of(s) == 0 || rank_of(s) == 7)) return refuse();
  }
  if (kings[WHITE] != 1 || kings[BLACK] != 1) return refuse();

  std::memcpy(board, new_board, sizeof(board));
  std::memcpy(color, new_color, sizeof(color));
  side_to_move = side;
  for (int corner : {0, 7, 56, 63}) moved_count[corner] = rook_fresh[corner] ? 0 : 1;
  rebuild_position();
  ep_square = static_cast<int8_t>(ep >= 0 && ep_square_sound(ep, side) ? ep : -1);

  // A side that could take the enemy king would break the king-first lists.
  if (square_attacked(piece_list[side ^ 1][0], side)) return refuse();
  return 1;
}
