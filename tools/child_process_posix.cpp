// Child processes with fork, exec and pipes.
#include "tools/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;

int ms_left(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left > 0 ? static_cast<int>(left) : 0;
}

void close_end(intptr_t* fd) {
  if (*fd >= 0) close(static_cast<int>(*fd));
  *fd = -1;
}

// In the forked child: the pipe ends in place of the standard streams, then
// the program. Only async-signal-safe calls from here on.
[[noreturn]] void become_program(const char* const* argv, const char* workdir, const char* error_path, int in_fd,
                                 int out_fd) {
  dup2(in_fd, STDIN_FILENO);
  dup2(out_fd, STDOUT_FILENO);
  if (error_path != nullptr) {
    const int error_fd = open(error_path, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (error_fd >= 0) dup2(error_fd, STDERR_FILENO);
  }
  if (workdir != nullptr && chdir(workdir) != 0) _exit(127);
  execvp(argv[0], const_cast<char* const*>(argv));
  _exit(127);
}

}  // namespace

bool child_start(ChildProcess* child, const char* const* argv, const char* workdir, const char* error_path) {
  *child = ChildProcess{-1, -1, -1, -1};
  int in_pipe[2], out_pipe[2];
  if (pipe2(in_pipe, O_CLOEXEC) != 0) return false;
  if (pipe2(out_pipe, O_CLOEXEC) != 0) {
    close(in_pipe[0]);
    close(in_pipe[1]);
    return false;
  }
  const pid_t pid = fork();
  if (pid == 0) become_program(argv, workdir, error_path, in_pipe[0], out_pipe[1]);
  close(in_pipe[0]);
  close(out_pipe[1]);
  if (pid < 0) {
    close(in_pipe[1]);
    close(out_pipe[0]);
    return false;
  }
  child->process = pid;
  child->to_child = in_pipe[1];
  child->from_child = out_pipe[0];
  // A write to a child that has already exited must fail, not end the caller.
  signal(SIGPIPE, SIG_IGN);
  return true;
}

bool child_write(ChildProcess* child, const char* bytes, std::size_t length) {
  if (child->to_child < 0) return false;
  std::size_t done = 0;
  while (done < length) {
    const ssize_t n = write(static_cast<int>(child->to_child), bytes + done, length - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

void child_close_input(ChildProcess* child) { close_end(&child->to_child); }

int child_read(ChildProcess* child, char* buffer, int size, int timeout_ms) {
  if (child->from_child < 0) return CHILD_CLOSED;
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
  for (;;) {
    pollfd fd{static_cast<int>(child->from_child), POLLIN, 0};
    const int ready = poll(&fd, 1, ms_left(deadline));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return CHILD_TIMEOUT;
    const ssize_t n = read(static_cast<int>(child->from_child), buffer, static_cast<std::size_t>(size));
    if (n < 0 && errno == EINTR) continue;
    if (n > 0) return static_cast<int>(n);
    close_end(&child->from_child);
    return CHILD_CLOSED;
  }
}

int child_wait(ChildProcess* child, int timeout_ms) {
  if (child->exit_status >= 0 || child->process <= 0) return child->exit_status;
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
  for (;;) {
    int status = 0;
    const pid_t done = waitpid(static_cast<pid_t>(child->process), &status, WNOHANG);
    if (done == child->process) {
      child->exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      return child->exit_status;
    }
    if (done < 0 && errno != EINTR) return -1;
    if (ms_left(deadline) == 0) return -1;
    usleep(2000);
  }
}

bool child_signal(ChildProcess* child, int signo) {
  return child->process > 0 && child->exit_status < 0 && kill(static_cast<pid_t>(child->process), signo) == 0;
}

void child_end(ChildProcess* child) {
  if (child->process > 0 && child->exit_status < 0) {
    kill(static_cast<pid_t>(child->process), SIGKILL);
    child_wait(child, 5000);
  }
  close_end(&child->to_child);
  close_end(&child->from_child);
}
