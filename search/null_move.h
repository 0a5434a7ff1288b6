// Passing the move inside the search: the null record on the game record.
// Its search at the defender's nodes is declared in search_node.h.
#pragma once

#include <cstdint>

// Pushes a record of no move and clears the en-passant square and the
// last destination; the position's keys are unchanged.
void make_null_move();
// Pops it and restores keys, en-passant square and irreversible index.
void unmake_null_move();
