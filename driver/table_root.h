// The endgame tables' answer at the root.
#pragma once

#include <cstdint>

// When the tables know the root position (after the root moves were
// generated): their move heads the list with its exact score, its line is
// shown, and true is returned; the search has nothing left to do. Tables
// found to contradict themselves are closed, with an info string.
bool answer_from_tables(uint8_t side);
