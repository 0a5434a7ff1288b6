#include "engine_process.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "tools/scratch_dir.h"

namespace {

int remaining_ms(std::chrono::steady_clock::time_point deadline) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

}  // namespace

EngineProcess::EngineProcess(const std::vector<std::string>& args, const std::string& shared_workdir) {
  owns_workdir_ = shared_workdir.empty();
  workdir_ = owns_workdir_ ? make_scratch_dir("tervalk-e2e-") : shared_workdir;
  if (workdir_.empty()) throw std::runtime_error("no scratch directory");
  std::vector<const char*> argv{TERVALK_PATH};
  for (const std::string& a : args) argv.push_back(a.c_str());
  argv.push_back(nullptr);
  if (!child_start(&child_, argv.data(), workdir_.c_str(), nullptr)) throw std::runtime_error("cannot start tervalk");
  // The whole suite can run with several search threads (a test's own
  // Threads setting still counts); an engine given arguments may not read.
  if (const char* threads = std::getenv("TERVALK_E2E_THREADS"); threads != nullptr && args.empty())
    send_line(std::string("setoption name Threads value ") + threads);
}

EngineProcess::~EngineProcess() {
  close_input();
  wait_exit(2000);
  child_end(&child_);
  std::error_code ignored;
  if (owns_workdir_) std::filesystem::remove_all(workdir_, ignored);
}

void EngineProcess::send(const std::string& bytes) { child_write(&child_, bytes.data(), bytes.size()); }

void EngineProcess::close_input() { child_close_input(&child_); }

bool EngineProcess::fill(int timeout_ms) {
  if (output_closed_) return false;
  char chunk[4096];
  const int n = child_read(&child_, chunk, sizeof(chunk), timeout_ms);
  if (n == CHILD_CLOSED) output_closed_ = true;
  if (n <= 0) return false;
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
