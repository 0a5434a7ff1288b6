// The standard streams of a tool process rearranged around the engine inside
// it, one implementation per operating system.
#pragma once

#include <cstdio>

// Standard input becomes a pipe that holds `text` and whose writing end stays
// open: the engine's polls find `text` and then nothing, never an end of
// input. False when no pipe can be made.
bool stdin_from_pipe(const char* text);
// Standard input as it was before stdin_from_pipe.
void stdin_restore();

// Standard output goes nowhere from here on; the result is a stream on the
// original standard output (nullptr on failure).
std::FILE* stdout_to_null();

bool stderr_is_terminal();
