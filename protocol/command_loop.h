// The UCI command loop.
#pragma once

// Handles command lines until quit (or the end of input), or until a position
// command has played its last move; the caller calls it again while
// quit_requested is clear.
void read_commands();

// Runs engine_init and sets up the start position the first time it is
// called; a failed initialisation ends the process with status 0.
void ensure_engine_ready();

// Reads the words of a go command into time_mode, depth_limit and pondering,
// after resetting elapsed, iteration_depth and the limits.
void read_go_limits(const char* line);
