// An exact, full-width mate search that proves and completes the lines the
// engine prints. It keeps its own table and move budget, and reads the main
// table for hints only. It plays on the board and the move stack like any
// search, though: its generators set hash_move and last_to_square and count
// nodes, and a capture made and taken back leaves the man at its list's end.
// A caller that must leave the main search as it found it saves what it needs.
#pragma once

#include <cstdint>

#include "types.h"

enum ProofResult : uint8_t { PROOF_UNKNOWN = 0, PROOF_MATES = 1, PROOF_FAILS = 2 };

// Limits the work of the proofs that follow to `node_budget` moves made;
// beyond it every proof answers PROOF_UNKNOWN until the next call.
void prover_begin(uint32_t node_budget);
// Whether the budget ran out.
bool prover_exhausted();

// With `attacker` to move: can it mate in at most `moves` moves? On
// PROOF_MATES, *mating_move (when given) is a first move of such a mate.
// Generates into the move-stack slices from the current ply upwards, so the
// current ply's slice must start where the lists below it end.
ProofResult attacker_mates(uint8_t attacker, int moves, Move* mating_move);
// With the defender (the side not `attacker`) to move: does every defence
// allow a mate in at most `moves` further attacker moves? A defender who is
// checkmated already loses; one who is stalemated does not.
ProofResult defender_loses(uint8_t attacker, int moves);

// 1 when `side` is in check and has no legal move. Generates into the
// current ply's slice.
bool side_is_mated(uint8_t side);

// Forgets every proof. Proofs are facts of positions, so the engine keeps
// them for its whole run; tests start from none.
void prover_clear();
