// A linear congruential generator with 15-bit output, the same on every
// platform so that a seed always draws the same book moves.
#include "driver/random.h"

namespace {
uint32_t random_state = 1;
}

void random_seed(uint32_t seed) { random_state = seed; }

int random_next() {
  random_state = random_state * 214013u + 2531011u;
  return static_cast<int>((random_state >> 16) & 0x7FFF);
}
