// The platform layer of the fuzz targets, linked in place of the operating
// system's: standard input is the range given to fuzz_input_set and the
// clock counts calls, so an input runs the same way every time.
#include <algorithm>
#include <cstring>

#include "fuzz_input.h"
#include "protocol/platform.h"

namespace {

const uint8_t* input_data;
std::size_t input_left;
unsigned reads;
uint32_t clock_ms;

// Reads return pieces of these sizes in turn, so that lines arrive split
// across reads and several to a read, as from a pipe.
constexpr int PIECES[] = {4096, 1, 7, 64, 3, 500};
constexpr int PIECE_KINDS = sizeof(PIECES) / sizeof(PIECES[0]);
constexpr uint32_t TICK_MS = 10;

}  // namespace

void fuzz_input_set(const uint8_t* data, std::size_t size) {
  input_data = data;
  input_left = size;
  reads = 0;
  clock_ms = 0;
}

int platform_read_input(char* buffer, int size) {
  const std::size_t piece = static_cast<std::size_t>(PIECES[reads++ % PIECE_KINDS]);
  const std::size_t n = std::min({static_cast<std::size_t>(size < 0 ? 0 : size), piece, input_left});
  if (n > 0) std::memcpy(buffer, input_data, n);
  input_data += n;
  input_left -= n;
  return static_cast<int>(n);
}

// All input is there from the start: a read never blocks.
bool platform_input_waiting() { return true; }

uint32_t platform_tick_ms() { return clock_ms += TICK_MS; }

void platform_ignore_interrupt() {}
