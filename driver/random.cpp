// A linear congruential generator with 15-bit output, the same on every
// platform so that a seed always draws the same book moves.
#include "driver/random.h"

namespace {

uint32_t random_state = 1;

// Seeds are seconds of the clock: neighbours differ in their low bits only,
// and the generator's first value would move by about 3 per second. Every
// seed bit is spread over the whole state first, so that successive seconds
// give independent draws.
uint32_t mix(uint32_t x) {
  x ^= x >> 16;
  x *= 0x7FEB352Du;
  x ^= x >> 15;
  x *= 0x846CA68Bu;
  x ^= x >> 16;
  return x;
}

}  // namespace

void random_seed(uint32_t seed) { random_state = mix(seed); }

int random_next() {
  random_state = random_state * 214013u + 2531011u;
  return static_cast<int>((random_state >> 16) & 0x7FFF);
}
