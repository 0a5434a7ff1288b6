// Child processes with CreatePipe and CreateProcess: the child's standard
// input is a real Windows pipe, which is what an engine's pipe probe expects.
#include "tools/child_process.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

HANDLE handle_of(intptr_t value) { return reinterpret_cast<HANDLE>(value); }
intptr_t value_of(HANDLE handle) { return reinterpret_cast<intptr_t>(handle); }

void close_end(intptr_t* handle) {
  if (*handle != -1) CloseHandle(handle_of(*handle));
  *handle = -1;
}

// One argument as the C runtime's command-line parser reads it back.
void append_quoted(std::string* line, const char* arg) {
  const std::string text = arg;
  if (!text.empty() && text.find_first_of(" \t\"") == std::string::npos) {
    *line += text;
    return;
  }
  *line += '"';
  std::size_t backslashes = 0;
  for (char c : text) {
    if (c == '\\') {
      backslashes++;
      continue;
    }
    // Backslashes double only in front of a quote.
    *line += std::string(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
    *line += c;
    backslashes = 0;
  }
  *line += std::string(2 * backslashes, '\\');
  *line += '"';
}

// A handle the child inherits: a copy of `handle` marked inheritable.
HANDLE inheritable(HANDLE handle) {
  HANDLE copy = nullptr;
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return nullptr;
  DuplicateHandle(GetCurrentProcess(), handle, GetCurrentProcess(), &copy, 0, TRUE, DUPLICATE_SAME_ACCESS);
  return copy;
}

HANDLE error_file(const char* path) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  const HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  return file == INVALID_HANDLE_VALUE ? nullptr : file;
}

// The parent survives the control-C it sends to the console it shares with
// the child.
BOOL WINAPI survive_control_c(DWORD event) { return event == CTRL_C_EVENT ? TRUE : FALSE; }

}  // namespace

bool child_start(ChildProcess* child, const char* const* argv, const char* workdir, const char* error_path) {
  *child = ChildProcess{-1, -1, -1, -1};
  // Only the child's ends are inheritable; ours stay in this process.
  HANDLE child_in, to_child, from_child, child_out;
  if (CreatePipe(&child_in, &to_child, nullptr, 0) == 0) return false;
  if (CreatePipe(&from_child, &child_out, nullptr, 0) == 0) {
    CloseHandle(child_in);
    CloseHandle(to_child);
    return false;
  }
  HANDLE in = inheritable(child_in), out = inheritable(child_out);
  CloseHandle(child_in);
  CloseHandle(child_out);
  HANDLE error = error_path != nullptr ? error_file(error_path) : inheritable(GetStdHandle(STD_ERROR_HANDLE));

  std::string line;
  for (const char* const* arg = argv; *arg != nullptr; arg++) {
    if (arg != argv) line += ' ';
    append_quoted(&line, *arg);
  }
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = in;
  startup.hStdOutput = out;
  startup.hStdError = error;
  PROCESS_INFORMATION info{};
  // A bare program name is looked up on PATH, as the POSIX layer does.
  const char* program = std::strpbrk(argv[0], "/\\") != nullptr ? argv[0] : nullptr;
  const bool started = CreateProcessA(program, line.data(), nullptr, nullptr, TRUE, 0, nullptr, workdir, &startup,
                                      &info) != 0;
  for (HANDLE h : {in, out, error})
    if (h != nullptr) CloseHandle(h);
  if (!started) {
    CloseHandle(to_child);
    CloseHandle(from_child);
    return false;
  }
  CloseHandle(info.hThread);
  child->process = value_of(info.hProcess);
  child->to_child = value_of(to_child);
  child->from_child = value_of(from_child);
  return true;
}

bool child_write(ChildProcess* child, const char* bytes, std::size_t length) {
  if (child->to_child == -1) return false;
  std::size_t done = 0;
  while (done < length) {
    DWORD n = 0;
    if (WriteFile(handle_of(child->to_child), bytes + done, static_cast<DWORD>(length - done), &n, nullptr) == 0)
      return false;
    done += n;
  }
  return true;
}

void child_close_input(ChildProcess* child) { close_end(&child->to_child); }

int child_read(ChildProcess* child, char* buffer, int size, int timeout_ms) {
  if (child->from_child == -1) return CHILD_CLOSED;
  const HANDLE pipe = handle_of(child->from_child);
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
  // Anonymous pipes have no waitable read: peek until bytes arrive.
  for (;;) {
    DWORD available = 0;
    if (PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) == 0) break;  // writer gone, nothing left
    if (available > 0) {
      DWORD n = 0;
      if (ReadFile(pipe, buffer, static_cast<DWORD>(size), &n, nullptr) == 0 || n == 0) break;
      return static_cast<int>(n);
    }
    if (Clock::now() >= deadline) return CHILD_TIMEOUT;
    Sleep(1);
  }
  close_end(&child->from_child);
  return CHILD_CLOSED;
}

int child_wait(ChildProcess* child, int timeout_ms) {
  if (child->exit_status >= 0 || child->process == -1) return child->exit_status;
  if (WaitForSingleObject(handle_of(child->process), static_cast<DWORD>(timeout_ms)) != WAIT_OBJECT_0) return -1;
  DWORD code = 0;
  GetExitCodeProcess(handle_of(child->process), &code);
  child->exit_status = static_cast<int>(code);
  return child->exit_status;
}

bool child_signal(ChildProcess* child, int signo) {
  if (child->process == -1 || child->exit_status >= 0) return false;
  if (signo == SIGINT) {
    SetConsoleCtrlHandler(survive_control_c, TRUE);
    return GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0) != 0;
  }
  return TerminateProcess(handle_of(child->process), static_cast<UINT>(128 + signo)) != 0;
}

void child_end(ChildProcess* child) {
  if (child->process != -1) {
    if (child->exit_status < 0) {
      TerminateProcess(handle_of(child->process), 128 + 9);
      child_wait(child, 5000);
    }
    close_end(&child->process);
  }
  close_end(&child->to_child);
  close_end(&child->from_child);
}
