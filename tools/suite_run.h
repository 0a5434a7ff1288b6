// One copy's run: its problems one after the other with one engine. As a job
// of a --jobs run it takes only the problems it is first to claim.
#pragma once

#include <vector>

#include "tools/suite_problems.h"

// The run's exit code.
int run_suite(const std::vector<SuiteEntry>& entries);
