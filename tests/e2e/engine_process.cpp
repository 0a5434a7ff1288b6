#include "engine_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace {

int remaining_ms(std::chrono::steady_clock::time_point deadline) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

}  // namespace

EngineProcess::EngineProcess(const std::vector<std::string>& args) {
  char pattern[] = "/tmp/tervalk-e2e-XXXXXX";
  if (mkdtemp(pattern) == nullptr) throw std::runtime_error("mkdtemp failed");
  workdir_ = pattern;

  int in_pipe[2], out_pipe[2];
  if (pipe(in_pipe) != 0 || pipe(out_pipe) != 0) throw std::runtime_error("pipe failed");
  pid_ = fork();
  if (pid_ < 0) throw std::runtime_error("fork failed");
  if (pid_ == 0) {
    dup2(in_pipe[0], STDIN_FILENO);
    dup2(out_pipe[1], STDOUT_FILENO);
    close(in_pipe[0]);
    close(in_pipe[1]);
    close(out_pipe[0]);
    close(out_pipe[1]);
    if (chdir(workdir_.c_str()) != 0) _exit(127);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(TERVALK_PATH));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(TERVALK_PATH, argv.data());
    _exit(127);
  }
  close(in_pipe[0]);
  close(out_pipe[1]);
  to_engine_ = in_pipe[1];
  from_engine_ = out_pipe[0];
  // A write to an engine that has already exited must fail, not kill the test.
  ::signal(SIGPIPE, SIG_IGN);
}

EngineProcess::~EngineProcess() {
  close_input();
  if (wait_exit(2000) < 0) {
    kill(pid_, SIGKILL);
    wait_exit(2000);
  }
  if (from_engine_ >= 0) close(from_engine_);
  std::error_code ignored;
  std::filesystem::remove_all(workdir_, ignored);
}

void EngineProcess::send(const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = write(to_engine_, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return;
    }
    done += static_cast<std::size_t>(n);
  }
}

void EngineProcess::close_input() {
  if (to_engine_ >= 0) close(to_engine_);
  to_engine_ = -1;
}

bool EngineProcess::fill(int timeout_ms) {
  if (output_closed_) return false;
  pollfd fd{from_engine_, POLLIN, 0};
  int ready = poll(&fd, 1, timeout_ms);
  if (ready <= 0) return false;
  char chunk[4096];
  ssize_t n = read(from_engine_, chunk, sizeof(chunk));
  if (n <= 0) {
    output_closed_ = true;
    return false;
  }
  buffer_.append(chunk, static_cast<std::size_t>(n));
  return true;
}

std::optional<std::string> EngineProcess::read_line(int timeout_ms) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  for (;;) {
    std::size_t lf = buffer_.find('\n');
    if (lf != std::string::npos) {
      std::string line = buffer_.substr(0, lf);
      buffer_.erase(0, lf + 1);
      return line;
    }
    if (!fill(remaining_ms(deadline))) return std::nullopt;
  }
}

std::vector<std::string> EngineProcess::read_until(const std::string& prefix, int timeout_ms) {
  std::vector<std::string> lines;
  while (auto line = read_line(timeout_ms)) {
    lines.push_back(*line);
    if (line->rfind(prefix, 0) == 0) break;
  }
  return lines;
}

std::string EngineProcess::read_all(int timeout_ms) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  while (!output_closed_ && remaining_ms(deadline) > 0) fill(remaining_ms(deadline));
  std::string all = buffer_;
  buffer_.clear();
  return all;
}

bool EngineProcess::silent_for(int ms) {
  if (!buffer_.empty()) return false;
  return !fill(ms) && buffer_.empty();
}

int EngineProcess::wait_exit(int timeout_ms) {
  if (exit_status_ >= 0) return exit_status_;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  for (;;) {
    int status = 0;
    pid_t done = waitpid(pid_, &status, WNOHANG);
    if (done == pid_) {
      exit_status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      return exit_status_;
    }
    if (remaining_ms(deadline) == 0) return -1;
    usleep(2000);
  }
}

void EngineProcess::signal(int signo) { kill(pid_, signo); }
