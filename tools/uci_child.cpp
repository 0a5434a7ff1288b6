// Child engine process over pipes.
#include "tools/uci_child.h"

#include <chrono>
#include <cstring>

namespace {

using Clock = std::chrono::steady_clock;

int ms_left(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left > 0 ? static_cast<int>(left) : 0;
}

bool output_closed(const UciChild* child) { return child->process.from_child == -1; }

// Moves the first complete line (or, when the buffer is full without one, a
// cut piece of it) into child->line.
bool take_line(UciChild* child) {
  char* lf = static_cast<char*>(std::memchr(child->buffer, '\n', child->buffered));
  int length;
  int consumed;
  if (lf != nullptr) {
    length = static_cast<int>(lf - child->buffer);
    consumed = length + 1;
  } else if (child->buffered == CHILD_BUFFER_SIZE || (output_closed(child) && child->buffered > 0)) {
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

}  // namespace

bool start_child(UciChild* child, const char* path) {
  child->running = false;
  child->buffered = 0;
  child->line[0] = '\0';
  const char* argv[] = {path, nullptr};
  child->running = child_start(&child->process, argv, nullptr, nullptr);
  return child->running;
}

bool send_line(UciChild* child, const char* text) {
  if (!child->running) return false;
  const size_t length = std::strlen(text);
  char out[CHILD_LINE_SIZE];
  if (length + 1 >= sizeof(out)) return false;
  std::memcpy(out, text, length);
  out[length] = '\n';
  return child_write(&child->process, out, length + 1);
}

int read_line(UciChild* child, int timeout_ms) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
  for (;;) {
    if (take_line(child)) return READ_LINE;
    if (!child->running || output_closed(child)) return READ_CLOSED;
    const int n = child_read(&child->process, child->buffer + child->buffered, CHILD_BUFFER_SIZE - child->buffered,
                             ms_left(deadline));
    if (n == CHILD_TIMEOUT) return READ_TIMEOUT;
    if (n > 0) child->buffered += n;
  }
}

void stop_child(UciChild* child, int grace_ms) {
  if (!child->running) return;
  send_line(child, "quit");
  child_close_input(&child->process);
  child_wait(&child->process, grace_ms);
  kill_child(child);
}

void kill_child(UciChild* child) {
  if (!child->running) return;
  child_end(&child->process);
  child->running = false;
}
