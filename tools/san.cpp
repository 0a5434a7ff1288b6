// SAN words as written in PGN: piece letter, disambiguating file and/or rank
// (or a whole square), optional capture mark, destination, promotion with or
// without '=', castling with letter O or digit 0, and trailing + # ! ? marks.
#include "tools/san.h"

#include <cstring>

#include "board.h"
#include "board/attacks.h"
#include "board/make_move.h"
#include "board/movegen.h"

namespace {

constexpr int LIST_PLY = 1;
constexpr int SAN_TEXT_SIZE = 16;
constexpr int ANY = -1;

enum : int { NOT_CASTLING = 0, CASTLE_SHORT = 1, CASTLE_LONG = 2 };

struct SanMove {
  int castling;
  int piece;      // PAWN .. KING
  int from_file;  // ANY when not given
  int from_rank;
  int to;
  int promotion;  // NO_PIECE, or KNIGHT .. QUEEN
};

int piece_of_letter(char c) {
  switch (c) {
    case 'N': return KNIGHT;
    case 'B': return BISHOP;
    case 'R': return ROOK;
    case 'Q': return QUEEN;
    case 'K': return KING;
    default: return NO_PIECE;
  }
}

bool is_file(char c) { return c >= 'a' && c <= 'h'; }
bool is_rank(char c) { return c >= '1' && c <= '8'; }

bool read_castling(const char* text, SanMove* san) {
  if (std::strcmp(text, "O-O") == 0 || std::strcmp(text, "0-0") == 0) {
    san->castling = CASTLE_SHORT;
    return true;
  }
  if (std::strcmp(text, "O-O-O") == 0 || std::strcmp(text, "0-0-0") == 0) {
    san->castling = CASTLE_LONG;
    return true;
  }
  return false;
}

// Reads `text`, check and annotation marks already cut off.
bool read_san(const char* text, SanMove* san) {
  san->castling = NOT_CASTLING;
  san->piece = PAWN;
  san->from_file = san->from_rank = ANY;
  san->to = ANY;
  san->promotion = NO_PIECE;
  if (read_castling(text, san)) return true;

  const char* p = text;
  if (piece_of_letter(*p) != NO_PIECE) san->piece = piece_of_letter(*p++);

  // Files and ranks up to the promotion: the last file-rank pair is the
  // destination, anything before it disambiguates.
  char squares[4];
  int n = 0;
  for (; *p != '\0' && *p != '='; p++) {
    if (*p == 'x' || *p == ':' || *p == '-') continue;
    if (!is_file(*p) && !is_rank(*p)) break;
    if (n == 4) return false;
    squares[n++] = *p;
  }
  if (n < 2 || !is_file(squares[n - 2]) || !is_rank(squares[n - 1])) return false;
  san->to = make_square(squares[n - 2] - 'a', squares[n - 1] - '1');
  for (int i = 0; i < n - 2; i++) {
    if (is_file(squares[i]) && san->from_file == ANY && san->from_rank == ANY)
      san->from_file = squares[i] - 'a';
    else if (is_rank(squares[i]) && san->from_rank == ANY)
      san->from_rank = squares[i] - '1';
    else
      return false;
  }

  if (*p == '=') {
    // After '=' the letter cannot be a file, so either case is read.
    p++;
    const char letter = *p >= 'a' && *p <= 'z' ? static_cast<char>(*p - 'a' + 'A') : *p;
    san->promotion = piece_of_letter(letter);
    if (san->promotion == NO_PIECE) return false;
    p++;
  } else if (*p != '\0') {
    san->promotion = piece_of_letter(*p++);
    if (san->promotion == NO_PIECE) return false;
  }
  if (*p != '\0') return false;
  if (san->promotion == KING) return false;
  if (san->promotion != NO_PIECE && san->piece != PAWN) return false;
  // A pawn that does not capture stays on its file.
  if (san->piece == PAWN && san->from_file == ANY) san->from_file = file_of(san->to);
  return true;
}

bool fits(const SanMove& san, const Move& move) {
  if (san.castling != NOT_CASTLING) {
    if (!(move.flags & CASTLE)) return false;
    return san.castling == CASTLE_SHORT ? move.to == move.from + 2 : move.to == move.from - 2;
  }
  if (move.flags & CASTLE) return false;
  if (board[move.from] != san.piece || move.to != san.to) return false;
  if (san.from_file != ANY && file_of(move.from) != san.from_file) return false;
  if (san.from_rank != ANY && rank_of(move.from) != san.from_rank) return false;
  if (san.promotion == NO_PIECE) return !(move.flags & PROMOTE);
  return (move.flags & PROMOTE) && static_cast<int>(move.flags & PROMO_MASK) == san.promotion;
}

bool legal(uint8_t side, const Move& move) {
  make_move(side, move);
  const bool safe = !in_check(side);
  unmake_move(side, move);
  return safe;
}

}  // namespace

int find_san_move(uint8_t side, const char* text, Move* move) {
  char core[SAN_TEXT_SIZE];
  size_t length = std::strlen(text);
  while (length > 0 && std::strchr("+#!?", text[length - 1]) != nullptr) length--;
  if (length == 0 || length >= SAN_TEXT_SIZE) return SAN_UNREADABLE;
  std::memcpy(core, text, length);
  core[length] = '\0';

  SanMove san;
  if (!read_san(core, &san)) return SAN_UNREADABLE;

  ply = LIST_PLY;
  list_start[LIST_PLY] = 0;
  generate_moves(side);
  int found = 0;
  for (int i = list_start[LIST_PLY]; i < list_start[LIST_PLY + 1]; i++) {
    const Move candidate = move_stack[i];
    if (!fits(san, candidate) || !legal(side, candidate)) continue;
    if (found++ == 0) *move = candidate;
  }
  if (found == 0) return SAN_ILLEGAL;
  return found == 1 ? SAN_FOUND : SAN_AMBIGUOUS;
}

const char* san_verdict_name(int verdict) {
  switch (verdict) {
    case SAN_FOUND: return "found";
    case SAN_UNREADABLE: return "unreadable move";
    case SAN_ILLEGAL: return "illegal move";
    case SAN_AMBIGUOUS: return "ambiguous move";
    default: return "unknown";
  }
}
