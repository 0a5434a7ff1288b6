// Runs the tervalk binary as a GUI does: a child process on two pipes.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tools/child_process.h"

class EngineProcess {
 public:
  // Starts tervalk with `args` in a fresh empty working directory, or in
  // `shared_workdir` (another engine's, which stays its owner's) when given.
  explicit EngineProcess(const std::vector<std::string>& args = {}, const std::string& shared_workdir = "");
  ~EngineProcess();
  EngineProcess(const EngineProcess&) = delete;
  EngineProcess& operator=(const EngineProcess&) = delete;

  void send(const std::string& bytes);
  void send_line(const std::string& line) { send(line + "\n"); }
  void close_input();

  // The next output line without its line feed; nullopt at end of output or
  // when nothing complete arrives within the timeout.
  std::optional<std::string> read_line(int timeout_ms = 10000);
  // Lines up to and including the first that starts with `prefix`.
  std::vector<std::string> read_until(const std::string& prefix, int timeout_ms = 10000);
  // Everything the engine writes until it closes its output.
  std::string read_all(int timeout_ms = 10000);
  // True when no output at all arrives within `ms`.
  bool silent_for(int ms);

  // Exit status, or -1 when it has not exited in time; a signal gives 128 + n.
  int wait_exit(int timeout_ms = 10000) { return child_wait(&child_, timeout_ms); }
  // SIGINT is the console's control-C; false when it could not be sent.
  bool signal(int signo) { return child_signal(&child_, signo); }
  const std::string& workdir() const { return workdir_; }

 private:
  bool fill(int timeout_ms);  // false at end of output or timeout

  ChildProcess child_{};
  bool output_closed_ = false;
  std::string buffer_;
  std::string workdir_;
  bool owns_workdir_ = true;
};
