// The operating-system calls the engine needs, kept in one place so that
// another platform's layer can sit beside the POSIX one.
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

// Ignores the terminal's interrupt so that a GUI's control-C to its process
// group does not end the engine.
void platform_ignore_interrupt();
