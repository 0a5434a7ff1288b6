// Every key of a mate problem: under "go mate N" with MultiPV above 1 the
// solver alone decides each root move, a proven mate within N moves or a
// proof that it has none, and shows every key by its proven line.
#pragma once

#include <cstdint>

// Whether this search looks for every key.
bool key_search_wanted();
// Decides the root moves (generated, the board at the root position) until
// every one is decided or the search is stopped; the shortest key becomes
// the best move.
void search_keys(uint8_t side);
