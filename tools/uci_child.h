// A UCI engine run as a child process on two pipes, read line by line with
// deadlines so that a silent engine cannot hang the caller.
#pragma once

#include "tools/child_process.h"

constexpr int CHILD_LINE_SIZE = 16384;
constexpr int CHILD_BUFFER_SIZE = 65536;

struct UciChild {
  ChildProcess process;
  bool running;
  int buffered;
  char buffer[CHILD_BUFFER_SIZE];
  char line[CHILD_LINE_SIZE];  // the last line read, without its line feed
};

// Starts `path` (looked up in PATH when it has no slash) with no arguments;
// false when it cannot be started. A program that cannot be executed may also
// show as an engine that closes its output.
bool start_child(UciChild* child, const char* path);
// Writes `text` and a line feed; false when the engine no longer reads.
bool send_line(UciChild* child, const char* text);

enum : int { READ_LINE = 1, READ_TIMEOUT = 0, READ_CLOSED = -1 };
// Reads the next line into child->line, waiting at most timeout_ms. A line
// longer than the buffer is cut, the rest of it skipped.
int read_line(UciChild* child, int timeout_ms);

// Sends quit, waits up to grace_ms for the exit, then kills and reaps.
void stop_child(UciChild* child, int grace_ms);
// Kills at once and reaps.
void kill_child(UciChild* child);
