// Standard streams rearranged with Windows handles. The engine reads the
// standard-input handle itself, so that handle is what gets replaced.
#include "tools/std_streams.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstring>

namespace {

HANDLE saved_stdin = INVALID_HANDLE_VALUE;
HANDLE pipe_reader = INVALID_HANDLE_VALUE;
HANDLE pipe_writer = INVALID_HANDLE_VALUE;

void close_pipe() {
  if (pipe_reader != INVALID_HANDLE_VALUE) CloseHandle(pipe_reader);
  if (pipe_writer != INVALID_HANDLE_VALUE) CloseHandle(pipe_writer);
  pipe_reader = pipe_writer = INVALID_HANDLE_VALUE;
}

}  // namespace

bool stdin_from_pipe(const char* text) {
  HANDLE reader, writer;
  if (CreatePipe(&reader, &writer, nullptr, 0) == 0) return false;
  const DWORD length = static_cast<DWORD>(std::strlen(text));
  DWORD written = 0;
  if (length > 0 && (WriteFile(writer, text, length, &written, nullptr) == 0 || written != length)) {
    CloseHandle(reader);
    CloseHandle(writer);
    return false;
  }
  if (saved_stdin == INVALID_HANDLE_VALUE) saved_stdin = GetStdHandle(STD_INPUT_HANDLE);
  close_pipe();
  pipe_reader = reader;
  pipe_writer = writer;
  SetStdHandle(STD_INPUT_HANDLE, reader);
  return true;
}

void stdin_restore() {
  if (saved_stdin == INVALID_HANDLE_VALUE) return;
  SetStdHandle(STD_INPUT_HANDLE, saved_stdin);
  saved_stdin = INVALID_HANDLE_VALUE;
  close_pipe();
}

std::FILE* stdout_to_null() {
  std::fflush(stdout);
  const int original = _dup(_fileno(stdout));
  const int null = _open("NUL", _O_WRONLY);
  if (original < 0 || null < 0) return nullptr;
  _dup2(null, _fileno(stdout));
  _close(null);
  return _fdopen(original, "w");
}

bool stderr_is_terminal() { return _isatty(_fileno(stderr)) != 0; }
