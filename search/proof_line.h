// The line of a proven mate, read off its proof tree on the board.
#pragma once

#include <cstdint>

#include "types.h"

// Moves the walk over one proof tree may make before it gives up.
constexpr uint32_t PROOF_CHECK_BUDGET = 4000000;

// Where the attacker's moves of a proof come from: the proof-number
// solver's table, taking each proof at the distance it has there (a node's
// proof may have been replaced by a longer one since its parent's was
// found), or only where that distance fits within the moves left; or the
// exact prover (which proves again what its table has lost, within its
// budget).
enum ProofSource : uint8_t { PROOF_FROM_SOLVER, PROOF_FROM_SOLVER_WITHIN, PROOF_FROM_PROVER };

// With the attacker's first move already made (defender to move at the
// current ply): follows the proof through every defence on the board,
// confirming that each one is mated within `moves_left` further attacker
// moves, and returns the proof's length in attacker moves (the first move
// counted); 0 when there is no whole proof (the table lost part of it, the
// budget ran out, or the search was stopped; input is polled meanwhile).
// Where the endgame tables know a position, their result settles it.
// moves[first ..] and flags[first ..] receive the line that holds out
// longest against the proof, up to the mate, ended by a 0 move; at most
// `last_index` is written.
int proof_line(uint8_t attacker, ProofSource source, int moves_left, int first, int last_index, uint16_t* moves,
               uint16_t* flags);
