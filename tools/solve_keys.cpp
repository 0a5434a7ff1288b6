// Deciding a problem's first moves: which mate in time (the keys), how soon
// the shortest does, and which fail to one defence alone (the tries). Each
// first move is decided as the engine's key search does it, by the
// proof-number solver in rounds of growing budgets, so that a hard move does
// not hold up the easy ones; a key the solver proves is then proven again by
// the exact prover on the board, which also builds its tree.
#include <algorithm>

#include "search/mate_prover.h"
#include "search/proof_search.h"
#include "search/proof_table.h"
#include "search/search_poll.h"
#include "search_state.h"
#include "tools/solve_board.h"
#include "tools/solve_clock.h"
#include "tools/solve_tree.h"

namespace {

constexpr uint32_t FIRST_BUDGET = 10000;  // solver moves per first move in the first round
constexpr int ROOT_PLY = 1;
constexpr int FIRST_PLY = 2;  // the solver's and prover's slices follow the root list

enum Verdict : uint8_t { OPEN, KEY, NOT_KEY };

// The prover's word on the first move `m`: a mate within `moves`, the move counted.
ProofResult first_move_mates(uint8_t attacker, const Move& m, int moves) {
  play(attacker, m);
  const ProofResult r = defender_loses(attacker, moves - 1);
  take_back(attacker, m);
  return r;
}

// One solver turn for the first move; a mate it proves, the prover confirms.
Verdict decide(uint8_t attacker, const Move& m, int moves, uint32_t budget) {
  solver_start_key(attacker, m, moves, FIRST_PLY);
  const SolverState state = solver_run(budget, INT32_MAX);
  ply = ROOT_PLY;
  if (state == SOLVER_NO_MATE) return NOT_KEY;
  if (state != SOLVER_MATE) return OPEN;
  const ProofResult proof = first_move_mates(attacker, m, moves);
  return proof == PROOF_MATES ? KEY : proof == PROOF_FAILS ? NOT_KEY : OPEN;
}

uint32_t next_budget(uint32_t budget) { return budget < UINT32_MAX / 4 ? budget * 4 : UINT32_MAX; }

void decide_all(uint8_t attacker, int moves, const std::vector<Move>& first, std::vector<Verdict>* verdicts) {
  bool open = true;
  for (uint32_t budget = FIRST_BUDGET; open && !clock_expired(); budget = next_budget(budget)) {
    open = false;
    for (size_t i = 0; i < first.size() && !clock_expired(); i++) {
      if ((*verdicts)[i] == OPEN) (*verdicts)[i] = decide(attacker, first[i], moves, budget);
      open = open || (*verdicts)[i] == OPEN;
    }
  }
}

// The defences of the first move `m` after which no mate within `moves - 1`
// follows, counted up to two; -1 when a proof could not be finished.
int refutations(uint8_t attacker, const Move& m, int moves, Move* refutation) {
  const uint8_t defender = attacker ^ 1;
  play(attacker, m);
  int count = 0;
  for (const Move& d : legal_moves_of(defender)) {
    play(defender, d);
    const ProofResult r = attacker_mates(attacker, moves - 1, nullptr);
    take_back(defender, d);
    if (r == PROOF_UNKNOWN) count = -1;
    if (r == PROOF_FAILS) {
      *refutation = d;
      count++;
    }
    if (count < 0 || count > 1) break;
  }
  take_back(attacker, m);
  return count;
}

void find_tries(uint8_t attacker, int moves, const std::vector<Move>& first, const std::vector<Verdict>& verdicts,
                Solution* solution) {
  for (size_t i = 0; i < first.size(); i++) {
    if (verdicts[i] != NOT_KEY) continue;
    SolveTry t;
    t.move = first[i];
    const int count = refutations(attacker, first[i], moves, &t.refutation);
    if (count < 0) {
      solution->tries_decided = false;
      return;
    }
    if (count == 1) solution->tries.push_back(t);
  }
}

void build_keys(uint8_t attacker, int moves, const std::vector<Move>& first, const std::vector<Verdict>& verdicts,
                Solution* solution) {
  tree_begin();
  for (size_t i = 0; i < first.size(); i++) {
    if (verdicts[i] != KEY) continue;
    SolveNode key;
    play(attacker, first[i]);
    if (!build_node(attacker, first[i], moves - 1, true, &key)) solution->decided = false;
    take_back(attacker, first[i]);
    solution->keys.push_back(key);
    if (solution->shortest == 0 || key.mate_in < solution->shortest) solution->shortest = key.mate_in;
  }
}

}  // namespace

void solve_position(int moves, bool with_tries, Solution* solution) {
  const uint8_t attacker = side_to_move;
  *solution = Solution{};
  solution->attacker = attacker;
  solution->moves = moves;
  solution->tries_asked = with_tries;
  prover_clear();
  solver_table_clear();
  prover_begin(NO_MOVE_LIMIT);
  ply = ROOT_PLY;
  list_start[ROOT_PLY] = 0;
  const std::vector<Move> first = legal_moves_of(attacker);
  std::vector<Verdict> verdicts(first.size(), OPEN);
  decide_all(attacker, moves, first, &verdicts);
  solution->open_first_moves = static_cast<int>(std::count(verdicts.begin(), verdicts.end(), OPEN));
  solution->decided = solution->open_first_moves == 0;
  build_keys(attacker, moves, first, verdicts, solution);
  if (with_tries) find_tries(attacker, moves, first, verdicts, solution);
  if (clock_expired()) solution->decided = false;
  if (with_tries && !solution->tries_decided) solution->decided = false;
}
