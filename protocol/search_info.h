// The info lines printed while a search runs.
#pragma once

#include <cstdint>



// Moves of a mate score, negative when the side to move is mated.
int mate_distance(int16_t score);

// Announces the root move about to be searched, once the search is older than
// a second.
void report_currmove(int from, int to, int16_t moves_tried);

// Reports a principal variation with a mate score (nothing for other scores).
// `line` is laid out as pv_line; its flags are taken from pv_flags.
void report_search(int from, int to, int16_t moves_tried, int16_t legal_root_moves, int16_t score,
                   const uint16_t* line, int kind);
