// Child engine process over pipes.
#include "tools/uci_child.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

namespace {

using Clock = std::chrono::steady_clock;

int ms_left(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left > 0 ? static_cast<int>(left) : 0;
}

// Moves the first complete line (or, when the buffer is full without one, a
// cut piece of it) into child->line.
bool take_line(UciChild* child) {
  char* lf = static_cast<char*>(std::memchr(child->buffer, '\n', child->buffered));
  int length;
  int consumed;
  if (lf != nullptr) {
    length = static_cast<int>(lf - child->buffer);
    consumed = length + 1;
  } else if (child->buffered == CHILD_BUFFER_SIZE || (child->output_closed && child->buffered > 0)) {
    length = consumed = child->buffered;
  } else {
    return false;
  }
  const int kept = length < CHILD_LINE_SIZE - 1 ? length : CHILD_LINE_SIZE - 1;
  std::memcpy(child->line, child->buffer, kept);
  if (kept > 0 && child->line[kept - 1] == '\r') child->line[kept - 1] = '\0';
  child->line[kept] = '\0';
  std::memmove(child->buffer, child->buffer + consumed, child->buffered - consumed);
  child->buffered -= consumed;
  return true;
}

bool reap(UciChild* child, int timeout_ms) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
  for (;;) {
    int status = 0;
    const pid_t done = waitpid(child->pid, &status, WNOHANG);
    if (done == child->pid || (done < 0 && errno == ECHILD)) return true;
    if (ms_left(deadline) == 0) return false;
    usleep(2000);
  }
}

void close_pipes(UciChild* child) {
  if (child->to_engine >= 0) close(child->to_engine);
  if (child->from_engine >= 0) close(child->from_engine);
  child->to_engine = child->from_engine = -1;
}

}  // namespace

bool start_child(UciChild* child, const char* path) {
  child->pid = -1;
  child->to_engine = child->from_engine = -1;
  child->output_closed = false;
  child->buffered = 0;
  child->line[0] = '\0';

  int in_pipe[2], out_pipe[2];
  if (pipe(in_pipe) != 0) return false;
  if (pipe(out_pipe) != 0) {
    close(in_pipe[0]);
    close(in_pipe[1]);
    return false;
  }
  const pid_t pid = fork();
  if (pid < 0) {
    close(in_pipe[0]);
    close(in_pipe[1]);
    close(out_pipe[0]);
    close(out_pipe[1]);
    return false;
  }
  if (pid == 0) {
    dup2(in_pipe[0], STDIN_FILENO);
    dup2(out_pipe[1], STDOUT_FILENO);
    close(in_pipe[0]);
    close(in_pipe[1]);
    close(out_pipe[0]);
    close(out_pipe[1]);
    execlp(path, path, static_cast<char*>(nullptr));
    _exit(127);
  }
  close(in_pipe[0]);
  close(out_pipe[1]);
  child->pid = pid;
  child->to_engine = in_pipe[1];
  child->from_engine = out_pipe[0];
  // A write to an engine that has died must fail, not end the suite.
  signal(SIGPIPE, SIG_IGN);
  return true;
}

bool send_line(UciChild* child, const char* text) {
  if (child->to_engine < 0) return false;
  const size_t length = std::strlen(text);
  char out[CHILD_LINE_SIZE];
  if (length + 1 >= sizeof(out)) return false;
  std::memcpy(out, text, length);
  out[length] = '\n';
  size_t done = 0;
  while (done < length + 1) {
    const ssize_t n = write(child->to_engine, out + done, length + 1 - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

int read_line(UciChild* child, int timeout_ms) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
  for (;;) {
    if (take_line(child)) return READ_LINE;
    if (child->output_closed) return READ_CLOSED;
    pollfd fd{child->from_engine, POLLIN, 0};
    const int ready = poll(&fd, 1, ms_left(deadline));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return READ_TIMEOUT;
    const ssize_t n = read(child->from_engine, child->buffer + child->buffered, CHILD_BUFFER_SIZE - child->buffered);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0)
      child->output_closed = true;
    else
      child->buffered += static_cast<int>(n);
  }
}

void stop_child(UciChild* child, int grace_ms) {
  if (child->pid <= 0) return;
  send_line(child, "quit");
  if (child->to_engine >= 0) close(child->to_engine);
  child->to_engine = -1;
  if (!reap(child, grace_ms)) kill_child(child);
  close_pipes(child);
  child->pid = -1;
}

void kill_child(UciChild* child) {
  if (child->pid <= 0) return;
  kill(child->pid, SIGKILL);
  reap(child, 5000);
  close_pipes(child);
  child->pid = -1;
}
