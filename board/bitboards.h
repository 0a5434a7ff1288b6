// Square sets as 64-bit words (bit s stands for square s) and the constant
// tables of the attack test: where a man reaches from a square on an empty
// board, and the squares strictly between two squares on one line.
#pragma once

#include <array>
#include <cstdint>

#include "types.h"

constexpr uint64_t square_bit(int square) { return uint64_t{1} << square; }

using SquareSets = std::array<uint64_t, SQUARE_COUNT>;

// pawn_reach[side][s]: the squares a pawn of `side` on s attacks, on every
// rank (an enemy pawn there attacks s).
extern const std::array<SquareSets, 2> pawn_reach;
extern const SquareSets knight_reach;
extern const SquareSets king_reach;
// The squares within two king steps of each square, the square included.
extern const SquareSets near_squares;
extern const SquareSets diagonal_reach;  // all four diagonals, to the edge
extern const SquareSets straight_reach;  // rank and file, to the edge
// between_squares[a][b]: the squares strictly between a and b when they share
// a rank, file or diagonal; empty otherwise.
extern const std::array<SquareSets, SQUARE_COUNT> between_squares;
