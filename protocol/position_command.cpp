// Building the game position from a position command.
#include "protocol/position_command.h"

#include <cstdio>
#include <cstring>

#include "board.h"
#include "board/notation.h"
#include "protocol/game_setup.h"
#include "protocol/input.h"
#include "search_control.h"
#include "search_state.h"
#include "settings.h"

char setboard_text[SETBOARD_TEXT_SIZE];
char ponder_move_text[PONDER_MOVE_TEXT_SIZE];

namespace {

constexpr int FIRST_FEN_TOKEN = 2;
constexpr int FEN_FIELDS = 5;  // the full-move number is not taken

// Appends as much of `text` as fits, keeping the terminator.
void append_bounded(char* out, int size, const char* text) {
  const std::size_t used = std::strlen(out);
  const std::size_t room = static_cast<std::size_t>(size) - 1 - used;
  std::strncat(out, text, room);
}

// The FEN fields stand between token 2 and the move list, if any.
void build_setboard_text(int fields_end) {
  std::strcpy(setboard_text, "setboard ");
  for (int i = 0; i < FEN_FIELDS && FIRST_FEN_TOKEN + i < fields_end; i++) {
    if (i > 0) append_bounded(setboard_text, SETBOARD_TEXT_SIZE, " ");
    append_bounded(setboard_text, SETBOARD_TEXT_SIZE, tokens[FIRST_FEN_TOKEN + i]);
  }
}

void info_string(const char* text, const char* detail = "") {
  std::printf("info string %s%s\n", text, detail);
  std::fflush(stdout);
}

// GUIs may send the promotion letter in upper case (c7c8Q).
void lower_promotion_letter(char* text) {
  if (std::strlen(text) != 5) return;
  if (std::strchr("QRBN", text[4]) != nullptr) text[4] = static_cast<char>(text[4] - 'A' + 'a');
}

}  // namespace

int handle_position(const char* line) {
  const int count = tokenize(line);
  // A cut line would set up a different game than the one sent.
  if (last_line_cut() || tokens_overflowed()) {
    info_string("position refused: the line is too long");
    return 0;
  }
  const bool from_start = std::strcmp(tokens[1], "startpos") == 0;
  int moves_at = from_start ? 2 : FIRST_FEN_TOKEN;
  while (moves_at < count && std::strcmp(tokens[moves_at], "moves") != 0) moves_at++;
  if (from_start && moves_at != 2) moves_at = count;
  if (count - moves_at - 1 > MAX_GAME_MOVES) {
    info_string("position refused: more moves than the game record holds");
    return 0;
  }

  if (new_ponder != 0) new_ponder = 1;
  if (from_start) {
    new_game();
  } else {
    build_setboard_text(moves_at);
    new_game();
    if (!setup_fen(setboard_text)) {
      // Its moves belong to another position: none of them is played.
      info_string("FEN refused, start position set up: ", setboard_text + SETBOARD_PREFIX_LENGTH);
      return 0;
    }
  }

  int16_t played = 0;
  for (int i = moves_at + 1; i < count; i++) {
    ply = 1;
    iteration_depth = 0;
    char text[SHORT_TOKEN_SIZE + LONG_TOKEN_SIZE];
    std::strncpy(text, tokens[i], sizeof(text) - 1);
    text[sizeof(text) - 1] = '\0';
    lower_promotion_letter(text);
    played = enter_move(text);
    if (played != 1) {
      // Passing the turn over a move never made would leave the wrong side to move.
      info_string("illegal move, the list is played up to it: ", tokens[i]);
      return 0;
    }
    if (new_ponder != 0) {
      std::strncpy(ponder_move_text, text, PONDER_MOVE_TEXT_SIZE - 1);
      ponder_move_text[PONDER_MOVE_TEXT_SIZE - 1] = '\0';
      new_ponder = 2;
    }
    side_to_move ^= 1;
  }
  return played == 1;
}
