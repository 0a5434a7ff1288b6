// Checks a solution that solve wrote as JSON on the tools' own rules, with
// no part of the engine in them: the keys are exactly the first moves that
// mate in time, each key's threat is what mates after a pass, every legal
// defence is listed, each with exactly the replies that still mate in time,
// every branch ends in mate, and each try fails to its one refutation alone.
#pragma once

#include <string>

#include "tools/json_read.h"
#include "tools/mate_judge.h"

struct SolutionFacts {
  int keys = 0;
  int tries = 0;
  int nodes = 0;  // attacker moves in the tree
};

// "" when the solution holds, else what is wrong with it. With
// `tries_complete`, every first move refuted by one defence alone must be
// listed among the tries as well.
std::string judge_solution(const JsonValue& solution, bool tries_complete, MateJudge* judge, SolutionFacts* facts);
