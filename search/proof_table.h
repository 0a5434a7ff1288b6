// The proof-number solver's table. Per position, side to move and attacker
// it keeps what is settled (a mate within so many moves, or none within so
// many: facts of the position that never go stale), and the proof and
// disproof numbers of its unfinished searches, per number of moves left.
#pragma once

#include <cstdint>

#include "types.h"

constexpr uint32_t PN_INFINITE = 1u << 30;
constexpr int8_t DISTANCE_NONE = -1;
constexpr int8_t DISTANCE_FOREVER = 127;  // no mate at any distance (stalemate)

struct SolverEntry {
  uint32_t lock;   // hash_lock mixed with the node's role and rights
  uint32_t check;  // hash_key mixed the same way: a false match needs both
  uint32_t pn, dn;
  uint32_t work;   // moves made below the node, for replacement
  uint16_t move;   // from << 6 | to: the proving move, or the best one so far
  uint16_t flags;  // that move's flags, so that a promotion keeps its piece
  int8_t mate;     // the attacker mates within this many moves; DISTANCE_NONE
  int8_t no_mate;  // the attacker cannot mate within this many; DISTANCE_NONE
  uint8_t age;
};
static_assert(sizeof(SolverEntry) == 28);

constexpr int32_t SOLVER_HASH_DEFAULT = 32;  // megabytes
constexpr int32_t SOLVER_HASH_MAX = 1024;

extern int32_t solver_hash_megabytes;

// Allocates the jobs' table for `megabytes` (halving it while that fails),
// and the claims' table of fixed size once; returns false when not even
// the smallest size could be had.
bool solver_table_allocate(int32_t megabytes);
void solver_table_free();
// Empties the table this thread's solver uses; both tables.
void solver_table_clear();
void solver_tables_clear();
// This thread's solver works on the claims' table (true) or the jobs'
// (false, where every thread starts); returns whether it was on the claims'.
bool solver_use_claim_table(bool claims);
// A proof whose line cannot be read back leaned on entries whose own proofs
// have since given way; proven again from an empty table, it can be. Empties
// the table unless `*done` says it was already done for this proof, and
// returns whether it did.
bool solver_table_restart_once(bool* done);
// A new search generation: older entries give way first.
void solver_table_new_age();

// A position with `mover` to move in a search for `attacker`'s mate has an
// entry of facts (a mate within so many moves, none within so many, and the
// proving move), and an entry of proof and disproof numbers for each number
// of attacker moves left it was searched with: numbers worked out for one
// number of moves say little about another, and one entry for all would
// have the searches of the position's transpositions undo each other.

// The facts' entry of the position on the board; nullptr when the table has none.
SolverEntry* solver_probe(uint8_t attacker, uint8_t mover);
// The slot to write its facts to: its own entry, or the one it replaces
// (reset to the position with nothing known).
SolverEntry* solver_slot(uint8_t attacker, uint8_t mover);
// The same for its numbers with `moves` attacker moves left (1 and more).
SolverEntry* solver_probe_at(uint8_t attacker, uint8_t mover, int moves);
SolverEntry* solver_slot_at(uint8_t attacker, uint8_t mover, int moves);

// The move of a mate the table has proven for the position on the board, as
// a hint for ordering; 0 when none (an unfinished search's best guess is a
// poorer hint than the alpha-beta search's move).
uint16_t solver_move_hint(uint8_t attacker, uint8_t mover);
