// The engine's seeded pseudo-random generator, values 0 .. 32767.
#pragma once

#include <cstdint>

void random_seed(uint32_t seed);
int random_next();
