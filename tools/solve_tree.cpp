// Building a key's tree. Every child is asked of the prover on the board:
// a defence is listed for each legal move of the defender, a reply for each
// attacker move after which defender_loses() proves the mate in time.
#include "tools/solve_tree.h"

#include <algorithm>

#include "board/attacks.h"
#include "search/mate_prover.h"
#include "tools/solve_board.h"

namespace {

int nodes_built;

bool room_for_node() { return ++nodes_built <= MAX_TREE_NODES; }

// The fewest further attacker moves within `left` that mate; 0 when a proof
// could not be finished.
int shortest_further(uint8_t attacker, int left) {
  for (int d = 1; d < left; d++) {
    const ProofResult r = defender_loses(attacker, d);
    if (r == PROOF_MATES) return d;
    if (r == PROOF_UNKNOWN) return 0;
  }
  return left;
}

// With the defender to move: every attacker move that mates within `left`
// after a pass, each with its own threats.
bool find_threats(uint8_t attacker, int left, SolveNode* node) {
  play_pass();
  bool whole = true;
  for (const Move& t : legal_moves_of(attacker)) {
    play(attacker, t);
    const ProofResult r = defender_loses(attacker, left - 1);
    SolveNode threat;
    if (r == PROOF_MATES) {
      whole = build_node(attacker, t, left - 1, false, &threat) && whole;
      node->threats.push_back(threat);
    }
    take_back(attacker, t);
    if (r == PROOF_UNKNOWN) whole = false;
    if (!whole) break;
  }
  take_back_pass();
  return whole;
}

// With the defender's move played: every reply that mates within `left`.
bool find_replies(uint8_t attacker, int left, SolveDefence* defence) {
  for (const Move& r : legal_moves_of(attacker)) {
    play(attacker, r);
    const ProofResult mates = defender_loses(attacker, left - 1);
    bool ok = mates != PROOF_UNKNOWN;
    if (mates == PROOF_MATES) {
      SolveNode reply;
      ok = build_node(attacker, r, left - 1, true, &reply);
      defence->replies.push_back(reply);
    }
    take_back(attacker, r);
    if (!ok) return false;
  }
  std::stable_sort(defence->replies.begin(), defence->replies.end(),
                   [](const SolveNode& a, const SolveNode& b) { return a.mate_in < b.mate_in; });
  return !defence->replies.empty();
}

bool find_defences(uint8_t attacker, int left, SolveNode* node) {
  const uint8_t defender = attacker ^ 1;
  for (const Move& d : legal_moves_of(defender)) {
    SolveDefence defence;
    defence.move = d;
    play(defender, d);
    const bool ok = room_for_node() && find_replies(attacker, left, &defence);
    take_back(defender, d);
    node->defences.push_back(defence);
    if (!ok) return false;
  }
  return true;
}

}  // namespace

void tree_begin() { nodes_built = 0; }

bool build_node(uint8_t attacker, const Move& m, int left, bool whole, SolveNode* node) {
  const uint8_t defender = attacker ^ 1;
  node->move = m;
  node->mate = side_is_mated(defender);
  node->mate_in = 1;
  if (node->mate) return true;
  node->check = in_check(defender);
  const int further = shortest_further(attacker, left);
  node->mate_in = 1 + further;
  node->complete = further > 0 && room_for_node();
  if (node->complete && !node->check) node->complete = find_threats(attacker, left, node);
  if (node->complete && whole) node->complete = find_defences(attacker, left, node);
  return node->complete;
}
