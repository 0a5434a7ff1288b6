// The setoption command.
#pragma once

#include <cstdint>

// The largest Hash value announced to the interface; larger ones are cut to
// it, as their byte budget would not fit 32 bits.
constexpr int32_t MIN_HASH_MEGABYTES = 1;
constexpr int32_t MAX_HASH_MEGABYTES = 432;
// The announced range of Matt_in, in moves.
constexpr int32_t MIN_MATT_IN = 1;
constexpr int32_t MAX_MATT_IN = 50;

// Applies "setoption name <Name> value <Value>": the name is token 2 (its
// first word only), the value token 4. Unknown names are ignored silently.
void handle_setoption(const char* line);
