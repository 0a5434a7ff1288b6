// The solution for programs: one JSON object a problem, on one line.
//   {"fen": "...", "n": 3, "decided": true, "shortest": 3, "keys": [NODE, ...],
//    "tries": [{"move": "e2e4", "refutation": "d7d5"}, ...]}
//   NODE {"move": "f7d7", "mate": false, "threat": ["a3a8"], "defences": [DEF, ...]}
//   DEF  {"move": "f6f5", "replies": [NODE, ...]}
// "threat" is null for a zugzwang and [] where the move checks (or mates);
// a mating move has no defences; "shortest" is null without a mate.
#pragma once

#include <cstdio>

#include "tools/solve_input.h"
#include "tools/solve_tree.h"

void print_json(std::FILE* out, const SolveProblem& problem, const Solution& solution);
