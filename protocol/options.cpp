// Turning setoption commands into the engine's settings.
#include "protocol/options.h"

#include "protocol/input.h"

void handle_setoption(const char* line) {
  tokenize(line);
}
