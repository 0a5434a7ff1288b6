// The operating-system calls the engine needs, kept in one place: one
// implementation per operating system (platform_posix.cpp,
// platform_windows.cpp), chosen by the build.
#pragma once

#include <cstdint>

// One raw, unbuffered read of standard input, repeated when a signal
// interrupts it. Returns the byte count, 0 at end of input, -1 on failure.
int platform_read_input(char* buffer, int size);

// Whether a read of standard input would not block: data is waiting, or the
// input was closed or failed (the read then tells which).
bool platform_input_waiting();

// A millisecond tick count that only moves forward (it may wrap).
uint32_t platform_tick_ms();

// Standard output takes the bytes as written: a line ends in a bare line
// feed everywhere, so every GUI and test sees the same bytes.
void platform_raw_output();

// Ignores the terminal's interrupt so that a GUI's control-C to its process
// group does not end the engine.
void platform_ignore_interrupt();
