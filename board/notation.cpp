// Move text in coordinate and German short notation.
#include "board/notation.h"

#include <cstring>

#include "board.h"
#include "board/make_move.h"
#include "board/movegen.h"
#include "search/tt.h"

char move_text[MOVE_FORMS][MOVE_TEXT_SIZE];

namespace {

constexpr char piece_letters[] = " BSLTDK";
constexpr char promotion_letters[] = " pnbrqk";
constexpr int PARSE_PLY = 2;

char file_letter(int square) { return static_cast<char>('a' + file_of(square)); }
char rank_digit(int square) { return static_cast<char>('1' + rank_of(square)); }

void set_text(int form, const char* text) { std::strcpy(move_text[form], text); }

void set_text(int form, char a, char b, char c = '\0', char d = '\0') {
  char* out = move_text[form];
  out[0] = a;
  out[1] = b;
  out[2] = c;
  out[3] = d;
  out[4] = '\0';
}

}  // namespace

void format_move(int from, int to, uint32_t flags) {
  if (from == to || from < 0 || from >= SQUARE_COUNT || to < 0 || to >= SQUARE_COUNT) {
    for (char* text : move_text) text[0] = '\0';
    return;
  }
  set_text(0, file_letter(from), rank_digit(from), file_letter(to), rank_digit(to));
  move_text[3][0] = '\0';
  const char letter = piece_letters[board[from]];

  if (board[from] == PAWN || (flags & PROMOTE)) {
    if (file_of(from) == file_of(to)) {
      set_text(1, file_letter(to), rank_digit(to));
      set_text(2, file_letter(to), rank_digit(to));
    } else {
      set_text(1, file_letter(from), file_letter(to));
      set_text(2, file_letter(from), file_letter(to), rank_digit(to));
    }
    // Forms 1 and 2 name no piece: e8 stands for every promotion of the push.
    if (flags & PROMOTE) {
      move_text[0][4] = promotion_letters[flags & PROMO_MASK];
      move_text[0][5] = '\0';
    }
    return;
  }

  if (flags & CASTLE) {
    const bool short_side = to > from;
    set_text(1, short_side ? "o-o" : "o-o-o");
    set_text(2, short_side ? "0-0" : "0-0-0");
    set_text(3, short_side ? "O-O" : "O-O-O");
    return;
  }
  set_text(1, letter, file_letter(to), rank_digit(to));
  set_text(2, letter, rank_digit(from), file_letter(to), rank_digit(to));
  set_text(3, letter, file_letter(from), file_letter(to), rank_digit(to));
}

int16_t enter_move(const char* text) {
  // An empty text would equal the empty form 3 of a pawn move.
  if (text[0] == '\0') return 0;
  // The game record keeps room above the game for the search's own moves.
  if (game_index >= MAX_GAME_MOVES) return 0;

  for (int p = 0; p <= 3; p++) list_start[p] = 0;
  ply = PARSE_PLY;
  generate_moves(side_to_move);
  ply = PARSE_PLY - 1;

  const Move* chosen = nullptr;
  for (int i = list_start[PARSE_PLY]; i < list_start[PARSE_PLY + 1] && chosen == nullptr; i++) {
    const Move& candidate = move_stack[i];
    format_move(candidate.from, candidate.to, candidate.flags);
    for (const char* form : move_text)
      if (std::strcmp(text, form) == 0) chosen = &candidate;
  }
  if (chosen == nullptr) return 0;

  // Only the first match is tried, even when a later candidate would be legal.
  const Move move = *chosen;
  const bool legal = make_if_legal(side_to_move, move);
  ply = 0;
  if (!legal) return 0;
  format_move(move.from, move.to, 0);
  tt_age_game_move();
  return 1;
}
