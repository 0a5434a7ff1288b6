// What go runs: the root move list, the first pass and the mate-testing
// iterations, ending with the bestmove line.
#pragma once

#include <cstdint>

#include "search/pv.h"

extern uint8_t root_phase;          // game_phase at the start of the search
extern int16_t legal_root_moves;
extern int16_t moves_tried;         // legal root moves searched in this iteration
extern uint8_t best_move_stable;    // the first move's best stayed the same
extern uint16_t ponder_move;        // from << 6 | to, 0 none
extern uint8_t book_move_chosen;
extern int16_t first_pass_score;    // best score of the one-ply first pass
extern ShownLine shown_best;        // the line last shown for the best root move
extern int16_t shown_best_claim;    // the search score it was built for

// Searches the game position for `side` to move, prints what it finds and
// the bestmove line, and after an ordinary search plays the move chosen.
void root_search(uint8_t side);

// Prints bestmove (and ponder) for the chosen root move and, after an
// ordinary search, plays it on the engine's board.
void end_of_search(uint8_t side, int best_index);

// Whether the first root move of an iteration is a stable recapture that
// has been searched long enough (only after three minutes in practice).
bool recapture_stop(uint8_t side, int first_index);
