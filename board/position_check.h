// A from-scratch consistency check of the whole position, for tests and
// debug assertions.
#pragma once

// Returns nullptr when lists, list indices, material, pawn attacks, square
// sets and keys all agree with board and color; otherwise a description of the first
// disagreement.
const char* position_inconsistency();

inline bool position_consistent() { return position_inconsistency() == nullptr; }
