// Replays a principal variation move by move with the engine's generator, so
// that a reported mate is only believed when the board agrees.
#include "tools/mate_line.h"

#include <cstdio>
#include <cstring>

#include "board.h"
#include "board/attacks.h"
#include "board/make_move.h"
#include "board/movegen.h"
#include "protocol/game_setup.h"
#include "tools/coordinate_text.h"

namespace {

constexpr int FEN_SIZE = 256;
constexpr int MOVE_WORD_SIZE = 8;
constexpr int LIST_PLY = 1;


// Plays the legal move of `side` whose text is `word`; false when there is none.
bool play_word(uint8_t side, const char* word, Move* played) {
  ply = LIST_PLY;
  list_start[LIST_PLY] = 0;
  generate_moves(side);
  for (int i = list_start[LIST_PLY]; i < list_start[LIST_PLY + 1]; i++) {
    const Move move = move_stack[i];
    char text[MOVE_WORD_SIZE];
    coordinate_text(move, text);
    if (std::strcmp(text, word) != 0) continue;
    make_move(side, move);
    if (square_attacked(piece_list[side][0], side ^ 1)) {
      unmake_move(side, move);
      return false;
    }
    *played = move;
    return true;
  }
  return false;
}

// Copies the next blank-separated word of *text into word; false at the end
// or when the word does not fit (no move text is that long).
bool next_word(const char** text, char* word, bool* too_long) {
  const char* p = *text;
  while (*p == ' ' || *p == '\t') p++;
  if (*p == '\0' || *p == '\n' || *p == '\r') return false;
  int n = 0;
  *too_long = false;
  while (*p != '\0' && *p != ' ' && *p != '\t' && *p != '\n' && *p != '\r') {
    if (n < MOVE_WORD_SIZE - 1)
      word[n++] = *p;
    else
      *too_long = true;
    p++;
  }
  word[n] = '\0';
  *text = p;
  return true;
}

}  // namespace

bool setup_line_position(const char* fen) {
  char text[FEN_SIZE + 16];
  const int written = std::snprintf(text, sizeof(text), "setboard %s", fen);
  if (written < 0 || written >= static_cast<int>(sizeof(text))) return false;
  new_game();
  if (setup_fen(text) != 1) return false;
  ply = LIST_PLY;
  list_start[LIST_PLY] = 0;
  return true;
}

int16_t checkmated(uint8_t side) {
  if (!in_check(side)) return 0;
  ply = LIST_PLY;
  list_start[LIST_PLY] = 0;
  generate_moves(side);
  for (int i = list_start[LIST_PLY]; i < list_start[LIST_PLY + 1]; i++) {
    const Move move = move_stack[i];
    // Castling never answers a check, whatever the generator offered.
    if (move.flags & CASTLE) continue;
    make_move(side, move);
    const bool escapes = !square_attacked(piece_list[side][0], side ^ 1);
    unmake_move(side, move);
    if (escapes) return 0;
  }
  return 1;
}

int check_mate_line(const char* pv, int mate_moves) {
  const uint8_t attacker = side_to_move;
  Move played[MAX_LINE_PLIES];
  int count = 0;
  int verdict = LINE_GOOD;
  uint8_t side = attacker;

  char word[MOVE_WORD_SIZE];
  bool too_long = false;
  const char* rest = pv;
  while (next_word(&rest, word, &too_long)) {
    if (too_long || count == MAX_LINE_PLIES || !play_word(side, word, &played[count])) {
      verdict = LINE_BAD_MOVE;
      break;
    }
    count++;
    side ^= 1;
  }

  if (verdict == LINE_GOOD) {
    // The attacker moves last, so the defender is to move at the end.
    if (side == attacker || !checkmated(side))
      verdict = LINE_NO_MATE;
    else if (count != 2 * mate_moves - 1)
      verdict = LINE_WRONG_LENGTH;
  }

  while (count > 0) {
    side ^= 1;
    count--;
    unmake_move(side, played[count]);
  }
  return verdict;
}

const char* line_verdict_name(int verdict) {
  switch (verdict) {
    case LINE_GOOD: return "good";
    case LINE_BAD_MOVE: return "illegal or unreadable move";
    case LINE_NO_MATE: return "does not end in mate";
    case LINE_WRONG_LENGTH: return "wrong length";
    default: return "unknown";
  }
}
