// Standard input of the fuzz targets: a byte range in memory, handed out by
// the platform layer's reads in pieces of varying size, then end of input.
#pragma once

#include <cstddef>
#include <cstdint>

// Starts a new input over `size` bytes at `data` (kept, not copied), and
// starts the clock again.
void fuzz_input_set(const uint8_t* data, std::size_t size);
