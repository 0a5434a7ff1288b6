// A program run as a child process on two pipes, its standard input and
// output, as a GUI runs an engine. Reads wait with deadlines so that a silent
// child cannot hang the caller. One implementation per operating system.
#pragma once

#include <cstddef>
#include <cstdint>

struct ChildProcess {
  intptr_t process;     // process id or handle; -1 when there is none
  intptr_t to_child;    // its standard input; -1 once closed
  intptr_t from_child;  // its standard output; -1 once closed
  int exit_status;      // -1 until it has ended and been reaped
};

// Starts argv[0] with the arguments argv[1..] (argv ends with nullptr), in
// `workdir` and with its standard error in the file `error_path` (each
// nullptr: the caller's). False when no child could be made; a POSIX child
// whose program cannot be executed instead closes its output and exits 127.
bool child_start(ChildProcess* child, const char* const* argv, const char* workdir, const char* error_path);

// Writes all `length` bytes; false when the child no longer reads.
bool child_write(ChildProcess* child, const char* bytes, std::size_t length);
// Closes the child's standard input: it reads the end of input.
void child_close_input(ChildProcess* child);

enum : int { CHILD_TIMEOUT = 0, CHILD_CLOSED = -1 };
// Reads what the child has written, waiting at most timeout_ms for some:
// the byte count, CHILD_TIMEOUT, or CHILD_CLOSED once its output has ended.
int child_read(ChildProcess* child, char* buffer, int size, int timeout_ms);

// The exit status once the child has ended within timeout_ms, else -1. A
// child ended by child_signal(signo) has status 128 + signo.
int child_wait(ChildProcess* child, int timeout_ms);
// SIGINT is the console's control-C; any other number ends the child as
// that signal does by default. False when it could not be sent (on Windows,
// control-C needs a console shared with the child).
bool child_signal(ChildProcess* child, int signo);
// Ends the child at once (if it still runs), reaps it and closes the pipes.
void child_end(ChildProcess* child);
