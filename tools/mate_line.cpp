// Replays a principal variation with the independent rules, so that a
// reported mate is only believed when a board the engine never touched agrees.
#include "tools/mate_line.h"

#include <cstdio>

#include "board.h"
#include "protocol/game_setup.h"
#include "tools/chess_rules.h"

namespace {

constexpr int FEN_SIZE = 256;
constexpr int MOVE_WORD_SIZE = 8;
constexpr int LIST_PLY = 1;

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

namespace {

// Plays the line from `fen` on `pos`; the number of plies, or -1 when a move
// is unreadable or illegal or the position is refused.
int replay(rules::Position* pos, const char* fen, const char* pv) {
  if (!rules::set_fen(pos, fen)) return -1;
  int count = 0;
  char word[MOVE_WORD_SIZE];
  bool too_long = false;
  const char* rest = pv == nullptr ? "" : pv;
  while (next_word(&rest, word, &too_long)) {
    if (too_long || count == MAX_LINE_PLIES || !rules::play(pos, word)) return -1;
    count++;
  }
  return count;
}

}  // namespace

int check_line_legal(const char* fen, const char* pv) {
  rules::Position pos;
  return replay(&pos, fen, pv) < 0 ? LINE_BAD_MOVE : LINE_GOOD;
}

int check_mate_line(const char* fen, const char* pv, int mate_moves) {
  rules::Position pos;
  const int count = replay(&pos, fen, pv);
  if (count < 0) return LINE_BAD_MOVE;
  // The attacker moves last, so the defender is to move at the end.
  if (count % 2 == 0 || !rules::checkmate(pos)) return LINE_NO_MATE;
  if (count != 2 * mate_moves - 1) return LINE_WRONG_LENGTH;
  return LINE_GOOD;
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
