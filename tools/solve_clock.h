// The time limit of one problem. The exact searches poll every few thousand
// moves; the poll solve installs keeps `elapsed` and ends every search once
// the problem's time is up, as a GUI's stop would.
#pragma once

// Starts the problem's clock; `seconds` 0 for no limit.
void clock_start(double seconds);
// Whether the time ran out (every search since answers "unknown").
bool clock_expired();
// Seconds since clock_start.
double clock_seconds();
