// Windows implementation of the platform layer: standard input may be a
// console (a user typing) or an anonymous pipe (a GUI), and each is asked in
// its own way whether a line is waiting.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "protocol/platform.h"

namespace {

// What standard input is, learnt at the first probe and kept for the process.
bool input_probed;
HANDLE stdin_handle;
bool stdin_is_pipe;

void probe_standard_input() {
  input_probed = true;
  stdin_handle = GetStdHandle(STD_INPUT_HANDLE);
  DWORD mode = 0;
  stdin_is_pipe = GetConsoleMode(stdin_handle, &mode) == 0;
  if (stdin_is_pipe) return;
  // Only key events count; whatever was typed before the first search is
  // dropped rather than taken for a command.
  SetConsoleMode(stdin_handle, mode & ~static_cast<DWORD>(ENABLE_WINDOW_INPUT | ENABLE_MOUSE_INPUT));
  FlushConsoleInputBuffer(stdin_handle);
}

}  // namespace

int platform_read_input(char* buffer, int size) {
  for (;;) {
    DWORD n = 0;
    if (ReadFile(GetStdHandle(STD_INPUT_HANDLE), buffer, static_cast<DWORD>(size), &n, nullptr) != 0)
      return static_cast<int>(n);
    const DWORD error = GetLastError();
    // The GUI closed its end of the pipe: that is the end of input.
    if (error == ERROR_BROKEN_PIPE) return 0;
    // A console read cut short by control-C is repeated, as an interrupted read is elsewhere.
    if (error != ERROR_OPERATION_ABORTED) return -1;
  }
}

bool platform_input_waiting() {
  if (!input_probed) probe_standard_input();
  if (stdin_is_pipe) {
    DWORD available = 0;
    // A failing peek (the pipe was closed, or input is a file) counts as
    // waiting input: the read that follows tells what it was.
    if (PeekNamedPipe(stdin_handle, nullptr, 0, nullptr, &available, nullptr) == 0) return true;
    return available > 0;
  }
  DWORD events = 0;
  GetNumberOfConsoleInputEvents(stdin_handle, &events);
  // A single pending event (such as a key release) is not yet a line.
  return events > 1;
}

uint32_t platform_tick_ms() { return GetTickCount(); }

void platform_raw_output() { _setmode(_fileno(stdout), _O_BINARY); }

void platform_ignore_interrupt() {
  // Control-C only: control-break and closing the console still end the engine.
  SetConsoleCtrlHandler(nullptr, TRUE);
}
