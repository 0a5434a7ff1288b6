// The info lines printed while a search runs.
#pragma once

#include <cstdint>

#include "search/pv.h"

// The node count the info lines give, over all threads: each node made
// counts twice.
uint64_t reported_nodes();

// The search's figures (depth, time, nodes over all threads) without a
// score, for a search that a limit of go ended.
void report_figures();

// A search begins: no mate shown in it yet.
void report_new_search();

// "go mate N" proven to have no mate in N moves; never said after an exact
// mate of at most N moves was shown in the same search.
void report_no_mate(int moves);

// Announces the root move about to be searched, once the search is older than
// a second.
void report_currmove(int from, int to, int16_t moves_tried);

// Reports an exact line whatever its score: a mate for either side, or a
// draw or evaluation in centipawns.
void report_exact_line(const ShownLine& line);

// Reports the best line when it is a mate for the side to move (nothing for
// other scores, nor for a line of kind SHOWN_NONE); with MultiPV, the further
// root lines follow, a mate among them shown by its own proven line.
void report_search(const ShownLine& best);

// The keys of a search for every key, each with its proven line, as many
// as MultiPV asks for.
void report_keys();
