// What mate-suite says on stderr while it runs: notes, and on a terminal a
// progress counter that the notes clear before they take its line.
#pragma once

#include <vector>

#include "tools/suite_results.h"

// Set by main: stderr is a terminal, where a counter can be redrawn in place.
extern bool stderr_terminal;

// Starts a note ("mate-suite: "); the caller prints the rest of the line.
void note_prefix();

// The counter is drawn on a terminal unless --quiet.
bool progress_wanted();
// Draws the counts of `results` over `total` problems in place of the last.
void show_progress(const std::vector<ProblemResult>& results, int total);
// Ends the counter's line, so that the summary starts on a line of its own.
void end_progress();
