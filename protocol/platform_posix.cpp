// POSIX implementation of the platform layer.
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <ctime>

#include "protocol/platform.h"

int platform_read_input(char* buffer, int size) {
  for (;;) {
    ssize_t n = read(STDIN_FILENO, buffer, static_cast<size_t>(size));
    if (n >= 0) return static_cast<int>(n);
    if (errno != EINTR) return -1;
  }
}

bool platform_input_waiting() {
  pollfd fd{STDIN_FILENO, POLLIN, 0};
  for (;;) {
    int ready = poll(&fd, 1, 0);
    if (ready > 0) return true;  // POLLIN, POLLHUP, POLLERR and POLLNVAL alike
    if (ready == 0) return false;
    if (errno != EINTR) return true;
  }
}

uint32_t platform_tick_ms() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<uint32_t>(static_cast<uint64_t>(now.tv_sec) * 1000u +
                               static_cast<uint64_t>(now.tv_nsec) / 1000000u);
}

void platform_raw_output() {}  // POSIX streams never translate line ends

void platform_ignore_interrupt() {
  // Only SIGINT: termination keeps its default, so an ordinary kill still
  // ends a hung engine.
  std::signal(SIGINT, SIG_IGN);
}
