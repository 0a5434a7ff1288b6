// Keeping search results in the learning file.
#pragma once

#include <cstdint>

// Stores the result of the finished search for `side` when learning is on.
void learn_store(uint8_t side);
