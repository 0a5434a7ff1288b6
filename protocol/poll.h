// Hearing the GUI while a search runs.
#pragma once

#include <cstdint>

enum : int { POLL_FULL = 1, POLL_CLOCK_ONLY = 2 };
constexpr uint32_t POLL_INTERVAL = 60000;  // nodes between two polls

extern uint8_t ponderhit_restart;  // ponderhit under NewPonder: restart the search
// stop or quit reached this search (or input ended under go infinite); the
// search driver clears it when a search starts.
extern uint8_t stop_heard;

// Refreshes elapsed; with POLL_FULL also reads and acts on one waiting line.
void poll_input(int mode);
// Makes poll_input the searches' poll.
void install_search_poll();
// Reads one line (if a whole one waits) and acts on stop, quit, isready and
// ponderhit anywhere in it, or on a Threads setting; the rest of the line is
// dropped.
void handle_search_input();

// A ponder or infinite search that ended by itself may not answer before the
// GUI says stop: waits (blocking) for stop, ponderhit or quit, answering
// isready meanwhile. End of input counts as quit. A ponderhit with NewPonder
// on sets ponderhit_restart.
void hold_bestmove();
