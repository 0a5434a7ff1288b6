// The start of every search: what it keeps between searches set back.
#pragma once

#include <cstdint>

// Sets back the search state for `side` to move at the root: the per-ply
// arrays, killers and history, the MultiPV records and shown lines, the
// counters and the clock, the book's choice; and empties the tables when
// they hold results searched under other rules.
void reset_for_search(uint8_t side);
