// The position command.
#pragma once

// Sets up the position a position command describes. Returns 1 when the last
// move of its move list was played.
int handle_position(const char* line);
