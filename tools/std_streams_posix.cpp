// Standard streams rearranged with POSIX descriptors.
#include "tools/std_streams.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstring>

namespace {

int saved_stdin = -1;
int pipe_writer = -1;

}  // namespace

bool stdin_from_pipe(const char* text) {
  int fds[2];
  if (pipe(fds) != 0) return false;
  const ssize_t length = static_cast<ssize_t>(std::strlen(text));
  if (write(fds[1], text, static_cast<size_t>(length)) != length) {
    close(fds[0]);
    close(fds[1]);
    return false;
  }
  if (saved_stdin < 0) saved_stdin = dup(STDIN_FILENO);
  dup2(fds[0], STDIN_FILENO);
  close(fds[0]);
  if (pipe_writer >= 0) close(pipe_writer);
  pipe_writer = fds[1];
  return true;
}

void stdin_restore() {
  if (saved_stdin < 0) return;
  dup2(saved_stdin, STDIN_FILENO);
  close(saved_stdin);
  close(pipe_writer);
  saved_stdin = pipe_writer = -1;
}

std::FILE* stdout_to_null() {
  std::fflush(stdout);
  const int original = dup(STDOUT_FILENO);
  const int null = open("/dev/null", O_WRONLY);
  if (original < 0 || null < 0) return nullptr;
  dup2(null, STDOUT_FILENO);
  close(null);
  return fdopen(original, "w");
}

bool stderr_is_terminal() { return isatty(STDERR_FILENO) != 0; }
