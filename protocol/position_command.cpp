// Building the game position from a position command.
#include "protocol/position_command.h"

#include <cstring>

#include "board.h"
#include "board/notation.h"
#include "protocol/game_setup.h"
#include "protocol/input.h"
#include "search_state.h"
#include "settings.h"

char setboard_text[SETBOARD_TEXT_SIZE];
char ponder_move_text[PONDER_MOVE_TEXT_SIZE];

namespace {

constexpr int FIRST_FEN_TOKEN = 2;
constexpr int FEN_FIELDS = 5;  // the full-move number is not taken
constexpr int FEN_MOVES_FROM = 7;

// Appends as much of `text` as fits, keeping the terminator.
void append_bounded(char* out, int size, const char* text) {
  const std::size_t used = std::strlen(out);
  const std::size_t room = static_cast<std::size_t>(size) - 1 - used;
  std::strncat(out, text, room);
}

void build_setboard_text() {
  std::strcpy(setboard_text, "setboard ");
  for (int i = 0; i < FEN_FIELDS; i++) {
    if (i > 0) append_bounded(setboard_text, SETBOARD_TEXT_SIZE, " ");
    append_bounded(setboard_text, SETBOARD_TEXT_SIZE, tokens[FIRST_FEN_TOKEN + i]);
  }
}

}  // namespace

int handle_position(const char* line) {
  const int count = tokenize(line);
  if (new_ponder != 0) new_ponder = 1;

  int moves_at = -1;
  if (std::strcmp(tokens[1], "startpos") == 0) {
    new_game();
    moves_at = 2;
  } else {
    build_setboard_text();
    new_game();
    setup_fen(setboard_text);
    for (int i = FEN_MOVES_FROM; i < count && moves_at < 0; i++)
      if (std::strcmp(tokens[i], "moves") == 0) moves_at = i;
  }
  if (moves_at < 0 || std::strcmp(tokens[moves_at], "moves") != 0) return 0;

  int16_t played = 0;
  for (int i = moves_at + 1; i < count; i++) {
    ply = 1;
    iteration_depth = 0;
    if (new_ponder != 0) {
      std::strncpy(ponder_move_text, tokens[i], PONDER_MOVE_TEXT_SIZE - 1);
      ponder_move_text[PONDER_MOVE_TEXT_SIZE - 1] = '\0';
      new_ponder = 2;
    }
    played = enter_move(tokens[i]);
    // An unplayable move still hands the turn over.
    side_to_move ^= 1;
  }
  return played == 1;
}
