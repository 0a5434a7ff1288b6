// The solution as composers read it: the keys with their threats, each
// defence with the attacker's continuations to the mate, duals and short
// variations marked, then the tries.
#pragma once

#include <cstdio>

#include "tools/solve_input.h"
#include "tools/solve_tree.h"

// Writes the solution of the problem set up on the board (the board is left
// as it was).
void print_text(std::FILE* out, const SolveProblem& problem, const Solution& solution, double seconds);
