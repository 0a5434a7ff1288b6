// Building the printed mate lines. A mate the alpha-beta search announces
// rests on its transposition table, whose entries may have been written for
// the same placement with other rights, by another thread, or for another
// position with the same keys: the claim is proven again on the board by
// the exact prover, against every defence, before it is shown, and the line
// is read off that proof.
#include "driver/shown_line.h"

#include <cstring>

#include "board.h"
#include "board/make_move.h"
#include "board/movegen.h"
#include "board/rights.h"
#include "search/mate_prover.h"
#include "search/proof_search.h"
#include "search/proof_table.h"
#include "search/proof_line.h"
#include "search_state.h"

namespace {

// Building a line leaves the search it interrupts as it was, its node
// count too: a line's proof is no part of the search's work.
struct Interrupted {
  SearchMarks marks;
  uint32_t nodes;
};
Interrupted interrupt_search() { return Interrupted{search_marks(), nodes}; }
void resume_search(const Interrupted& saved) {
  restore_search_marks(saved.marks);
  nodes = saved.nodes;
}

// The moves a claim's proof may make: a share of the search's own work so
// far, so that proving costs the search a bounded part of its time.
uint32_t proof_budget(uint32_t search_nodes) {
  return search_nodes / 2 > CLAIM_PROOF_BUDGET ? search_nodes / 2 : CLAIM_PROOF_BUDGET;
}

// Results of the last builds, per position after the root move (its rights
// too) and claimed score, across searches until their slots are reused. A
// proven line or a refuted claim is a fact of the position; a claim that
// could not be proven is tried again once the budget has doubled.
struct Built {
  bool filled;
  uint32_t lock, key;
  uint8_t rights;
  int16_t claimed;
  uint32_t budget;
  ShownLine line;
};
constexpr int BUILT_SLOTS = 16;
Built built[BUILT_SLOTS];
int built_next;

Built* find_built(uint32_t lock, uint32_t key, uint8_t rights, int16_t claimed) {
  for (Built& entry : built)
    if (entry.filled && entry.lock == lock && entry.key == key && entry.rights == rights && entry.claimed == claimed)
      return &entry;
  return nullptr;
}

// The exact prover settles short claims, and those the tables' moves lead
// straight to, with a small part of the budget; the rest goes to the
// proof-number solver, which is far better at long ones.
constexpr uint32_t PROVER_SHARE = 16;

// With the root move made: the attacker mates within `moves` moves against
// every defence by the proof-number solver, on the claims' table (a job the
// solver has under way on this thread is given back afterwards). The line
// is read off the proof; its length, in moves, or 0 when there is none:
// *refuted then says whether the board refutes the claim.
int solver_proof(uint8_t attacker, const Move& root, int moves, uint32_t budget, uint16_t* keys, uint16_t* flags,
                 bool* refuted) {
  const SolverJob interrupted = solver_job_marks();
  const bool was_on_claims = solver_use_claim_table(true);
  int length = 0;
  *refuted = false;
  // Proofs of earlier claims may have left longer ones in the table: a
  // proof that cannot be read back within the claim is made again from an
  // empty table, once.
  for (int attempt = 0; attempt < 2 && length == 0 && !*refuted && !search_aborted; attempt++) {
    if (attempt == 1) solver_table_clear();
    unmake_move(attacker, root);
    ply = 1;
    solver_start_key(attacker, root, moves, 2);
    const SolverState state = solver_run(attempt == 0 ? budget : budget / 2, INT32_MAX);
    make_move(attacker, root);
    ply = 2;
    if (state == SOLVER_MATE)
      length = proof_line(attacker, PROOF_FROM_SOLVER_WITHIN, moves - 1, 2, PV_LAST_MOVE_INDEX, keys, flags);
    else if (state != SOLVER_NO_MATE)
      break;
    *refuted = state == SOLVER_NO_MATE && solver_reach(moves, 2) >= moves;
  }
  solver_use_claim_table(was_on_claims);
  restore_solver_job(interrupted);
  return length;
}

// With the root move made: the attacker mates within `moves` moves against
// every defence, proven on the board apart from the transposition table
// (which only orders the prover's moves), and the line read off that proof
// into `line`. Returns the proof's length in moves, 0 when there is none;
// *refuted then says whether the board refutes the claim.
int prove_within(uint8_t attacker, const Move& root, int moves, uint32_t budget, ShownLine* line, bool* refuted) {
  ply = 2;
  prover_begin(budget / PROVER_SHARE);
  const ProofResult proof = defender_loses(attacker, moves - 1);
  int length = 0;
  *refuted = proof == PROOF_FAILS;
  if (proof == PROOF_MATES) {
    ply = 2;
    length = proof_line(attacker, PROOF_FROM_PROVER, moves - 1, 2, PV_LAST_MOVE_INDEX, line->moves, line->flags);
  }
  // A proof the prover's budget could not make, or not read back whole.
  if (length == 0 && !*refuted && !search_aborted)
    length = solver_proof(attacker, root, moves, budget, line->moves, line->flags, refuted);
  return length;
}

// A proof need not be the shortest mate: shorter ones are looked for while
// they come cheap.
constexpr uint32_t SHORTER_SHARE = 4;

void prove_claim(uint8_t attacker, const Move& root, int moves, uint32_t budget, ShownLine* out) {
  bool refuted;
  int length = prove_within(attacker, root, moves, budget, out, &refuted);
  if (length == 0) {
    // A claim the board refutes is not shown at all.
    shown_root_move(root, mate_in(moves), refuted ? SHOWN_NONE : SHOWN_LOWER, out);
    return;
  }
  ShownLine shorter = *out;
  while (length > 1 && !search_aborted) {
    const int found = prove_within(attacker, root, length - 1, budget / SHORTER_SHARE, &shorter, &refuted);
    if (found == 0) break;
    *out = shorter;
    length = found;
  }
  out->score = mate_in(length);
  out->kind = SHOWN_EXACT;
}

}  // namespace

void build_solver_line(uint8_t attacker, const Move& root, int distance, ShownLine* out) {
  const Interrupted saved = interrupt_search();
  shown_root_move(root, mate_in(distance), SHOWN_LOWER, out);
  ply = 2;
  const int length = proof_line(attacker, PROOF_FROM_SOLVER, distance - 1, 2, PV_LAST_MOVE_INDEX, out->moves, out->flags);
  if (length > 0) {
    out->score = mate_in(length);
    out->kind = SHOWN_EXACT;
  } else {
    shown_root_move(root, out->score, SHOWN_LOWER, out);
  }
  resume_search(saved);
}

void shown_root_move(const Move& root, int16_t score, uint8_t kind, ShownLine* out) {
  out->moves[1] = move_key(root.from, root.to);
  out->flags[1] = static_cast<uint16_t>(root.flags);
  out->moves[2] = 0;
  out->flags[2] = 0;
  out->score = score;
  out->kind = kind;
}

void shown_lines_forget() {
  std::memset(built, 0, sizeof(built));
  built_next = 0;
}

void build_shown_line(uint8_t attacker, const Move& root, int16_t score, uint8_t kind, ShownLine* out) {
  const int mated_ply = mate_ply(score);
  if (kind != SHOWN_EXACT || score <= MATE_BOUND) {
    shown_root_move(root, score, kind, out);
    return;
  }
  // A mate too long for a line, or at a ply where the attacker would be the
  // one mated, cannot be played out: it is not shown.
  if ((mated_ply & 1) != 0 || mated_ply >= PV_SLOTS) {
    shown_root_move(root, score, SHOWN_NONE, out);
    return;
  }

  const Interrupted saved = interrupt_search();
  const uint32_t lock = hash_lock, key = hash_key;
  const uint8_t rights = rights_tag();
  const uint32_t budget = proof_budget(saved.nodes);
  out->moves[1] = move_key(root.from, root.to);
  out->flags[1] = static_cast<uint16_t>(root.flags);
  Built* cached = find_built(lock, key, rights, score);
  if (cached != nullptr && (cached->line.kind != SHOWN_LOWER || budget < 2 * cached->budget)) {
    *out = cached->line;
  } else {
    prove_claim(attacker, root, mated_ply / 2, budget, out);
    if (cached == nullptr) {
      cached = &built[built_next];
      built_next = (built_next + 1) % BUILT_SLOTS;
    }
    *cached = Built{true, lock, key, rights, score, budget, *out};
  }
  resume_search(saved);
}

int prove_mated_line(uint8_t mated, int moves, uint16_t* keys, uint16_t* flags) {
  const Interrupted saved = interrupt_search();
  const uint8_t opponent = mated ^ 1;
  ply = 2;
  prover_begin(MATED_PROOF_BUDGET);
  Move proven{}, first{};
  int length = 0;
  if (attacker_mates(opponent, moves, &proven) == PROOF_MATES &&
      find_legal_move(opponent, move_key(proven.from, proven.to), static_cast<uint16_t>(proven.flags), &first)) {
    make_move(opponent, first);
    ply = 3;
    length = proof_line(opponent, PROOF_FROM_PROVER, moves - 1, 3, PV_LAST_MOVE_INDEX, keys, flags);
    unmake_move(opponent, first);
    keys[2] = move_key(first.from, first.to);
    flags[2] = static_cast<uint16_t>(first.flags);
  }
  resume_search(saved);
  return length;
}
