// Building the game position from a position command.
#include "protocol/position_command.h"

#include <cstring>

#include "protocol/game_setup.h"
#include "protocol/input.h"

int handle_position(const char* line) {
  int n = tokenize(line);
  if (n > 1 && std::strcmp(tokens[1], "startpos") == 0) new_game();
  return 0;
}
