// Keeping search results in the learning file.
#pragma once

#include <cstdint>

#include "types.h"

// Stores the result of the finished search (`best`, with its final score)
// for `side` to move at the root, when learning is on.
void learn_store(uint8_t side, const Move& best);
