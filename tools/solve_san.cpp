// English algebraic notation on the engine's board; the engine's own
// notation (board/notation.h) writes German piece letters.
#include "tools/solve_san.h"

#include <cstdio>

#include "board.h"
#include "board/attacks.h"
#include "search/mate_prover.h"
#include "tools/solve_board.h"

namespace {

constexpr char LETTERS[] = " PNBRQK";

char file_char(int square) { return static_cast<char>('a' + file_of(square)); }
char rank_char(int square) { return static_cast<char>('1' + rank_of(square)); }

// What tells `m` from the other legal moves of the same kind of man to the
// same square: its file, its rank, or both (empty when nothing is needed).
void disambiguation(uint8_t side, const Move& m, char* out) {
  bool clash = false, same_file = false, same_rank = false;
  for (const Move& other : legal_moves_of(side)) {
    if (other.to != m.to || other.from == m.from || board[other.from] != board[m.from]) continue;
    clash = true;
    same_file = same_file || file_of(other.from) == file_of(m.from);
    same_rank = same_rank || rank_of(other.from) == rank_of(m.from);
  }
  int n = 0;
  if (clash && (!same_file || same_rank)) out[n++] = file_char(m.from);
  if (clash && same_file) out[n++] = rank_char(m.from);
  out[n] = '\0';
}

// The move without its check mark.
void bare_text(uint8_t side, const Move& m, char text[SAN_SIZE]) {
  if (m.flags & CASTLE) {
    std::snprintf(text, SAN_SIZE, "%s", m.to > m.from ? "O-O" : "O-O-O");
    return;
  }
  const bool capture = color[m.to] == (side ^ 1) || (m.flags & EN_PASSANT);
  const char to_file = file_char(m.to), to_rank = rank_char(m.to);
  if (board[m.from] == PAWN) {
    char promotion[3] = "";
    if (m.flags & PROMOTE) std::snprintf(promotion, sizeof(promotion), "=%c", LETTERS[m.flags & PROMO_MASK]);
    if (capture)
      std::snprintf(text, SAN_SIZE, "%cx%c%c%s", file_char(m.from), to_file, to_rank, promotion);
    else
      std::snprintf(text, SAN_SIZE, "%c%c%s", to_file, to_rank, promotion);
    return;
  }
  char from[3];
  disambiguation(side, m, from);
  std::snprintf(text, SAN_SIZE, "%c%s%s%c%c", LETTERS[board[m.from]], from, capture ? "x" : "", to_file, to_rank);
}

}  // namespace

void san_text(uint8_t side, const Move& m, char text[SAN_SIZE]) {
  bare_text(side, m, text);
  play(side, m);
  const char mark = !in_check(side ^ 1) ? '\0' : side_is_mated(side ^ 1) ? '#' : '+';
  take_back(side, m);
  int n = 0;
  while (text[n] != '\0') n++;
  text[n] = mark;
  if (mark != '\0') text[n + 1] = '\0';
}
