// A --jobs run: copies of this tool, each with its own engine, sharing out
// the problems through a claim folder; their CSV files merged into one run.
#pragma once

#include <string>
#include <vector>

#include "tools/suite_problems.h"

// This program, to start as a job.
std::string self_program(const char* argv0);

// The problems over `count` copies of this tool, their rows merged: the
// run's exit code.
int run_jobs(const char* self, const std::vector<SuiteEntry>& entries, int count);
