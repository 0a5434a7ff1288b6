// The claims an engine makes while it searches a problem, checked as they
// come: each mate line replayed on our own board, each "no mate in N" taken
// for the N asked, the keys counted.
#pragma once

#include "tools/suite_clock.h"
#include "tools/suite_problems.h"
#include "tools/suite_results.h"

// Before each problem's search: its keys are counted afresh.
void forget_keys();

// "info string no mate in N" for the N asked.
void take_no_mate(const char* line, const SuiteEntry& entry, ProblemResult* result);

// An info line of the search sent at `go_sent`, into the result; sets
// *stop_wanted once a mate short enough for the problem is shown.
void take_info(const char* line, const SuiteEntry& entry, SuiteClock::time_point go_sent, ProblemResult* result,
               bool* stop_wanted);
