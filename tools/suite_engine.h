// The dialogue with the engine over its pipes: the handshake with the
// options asked for, each problem's search, the engine's end.
#pragma once

#include "tools/suite_problems.h"
#include "tools/suite_results.h"

// False once the engine is lost (it died, hung or stopped reading) or the
// run takes no more problems: what is left goes unsearched.
extern bool engine_alive;
// Its "id name", "?" until it gives one.
extern char engine_name[256];

// Starts --engine, sets its --option values and waits for it to be ready;
// false when it does not complete uci/isready.
bool start_engine();

// Sends the problem and searches it until a mate as short as the known one,
// the end of the budget, or the engine's loss.
void search_position(const SuiteEntry& entry, ProblemResult* result);

// Asks the engine to quit, then ends it if it does not.
void quit_engine();
// Ends the engine at once.
void kill_engine();
