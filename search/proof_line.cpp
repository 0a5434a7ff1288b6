// Reading a proof back from the solver's table. The attacker's moves are the
// table's; every defence is generated on the board and followed, so the
// proof is checked whole: each defender node down every branch is mated
// within the depth found. The depth of each node of the proof tree is kept
// per position while the check runs, so that transpositions cost once and
// the line can take, at each defender node, the reply that holds out
// longest: the line is exactly as long as the proof is deep.
#include "search/proof_line.h"

#include <cstring>

#include "board.h"
#include "board/attacks.h"
#include "board/make_move.h"
#include "board/movegen.h"
#include "board/rights.h"
#include "protocol/poll.h"
#include "search/proof_table.h"
#include "search_state.h"

namespace {

constexpr uint32_t MEMO_ENTRIES = 1u << 16;
constexpr uint32_t POLL_EVERY = 8192;
constexpr int8_t NO_PROOF = -1;

struct Depth {
  uint32_t key, lock;
  uint8_t generation;
  int8_t depth;
};
Depth memo[MEMO_ENTRIES];
uint8_t generation;

uint8_t attacker;
uint32_t moves_left;
bool given_up;

void new_generation() {
  if (++generation == 0) {
    std::memset(memo, 0, sizeof(memo));
    generation = 1;
  }
}

Depth& memo_slot(bool or_node, uint32_t* key, uint32_t* lock) {
  const uint32_t mix = position_rights() * 0x9E3779B1u ^ (or_node ? 0x85EBCA77u : 0xC2B2AE3Du);
  *key = hash_key ^ mix;
  *lock = hash_lock;
  return memo[*key & (MEMO_ENTRIES - 1)];
}

bool count_move() {
  if (moves_left == 0) given_up = true;
  if (given_up) return false;
  moves_left--;
  if (moves_left % POLL_EVERY == 0) {
    poll_input(POLL_FULL);
    if (search_aborted) given_up = true;
  }
  return !given_up;
}

// Attacker moves the proof needs from here, or NO_PROOF.
int tree_depth(bool or_node) {
  uint32_t key, lock;
  Depth& slot = memo_slot(or_node, &key, &lock);
  if (slot.generation == generation && slot.key == key && slot.lock == lock) return slot.depth;
  int depth = NO_PROOF;
  if (or_node) {
    const SolverEntry* e = solver_probe(attacker, attacker);
    Move m;
    if (e != nullptr && e->mate != DISTANCE_NONE && ply + 1 < MAX_PLY &&
        find_legal_move(attacker, e->move, e->flags, &m) && count_move()) {
      make_move(attacker, m);
      ply++;
      const int below = tree_depth(false);
      ply--;
      unmake_move(attacker, m);
      if (below != NO_PROOF) depth = below + 1;
    }
  } else {
    const uint8_t defender = attacker ^ 1;
    hash_move = 0;
    const bool checked = generate_replies(defender);
    int legal = 0;
    depth = 0;
    for (int k = list_start[ply]; k < list_start[ply + 1] && depth != NO_PROOF; k++) {
      const Move m = move_stack[k];
      if (!count_move() || ply + 1 >= MAX_PLY) {
        depth = NO_PROOF;
        break;
      }
      if (!make_if_legal(defender, m, checked)) continue;
      legal++;
      ply++;
      const int below = tree_depth(true);
      ply--;
      unmake_move(defender, m);
      depth = below == NO_PROOF ? NO_PROOF : below > depth ? below : depth;
    }
    // Mated: no further move needed; stalemated: no proof at all.
    if (legal == 0 && depth != NO_PROOF && !checked) depth = NO_PROOF;
  }
  if (given_up) return NO_PROOF;
  Depth& store = memo_slot(or_node, &key, &lock);
  store = Depth{key, lock, generation, static_cast<int8_t>(depth)};
  return depth;
}

// The legal move of the current node whose subtree is `wanted` deep
// (the defender's longest resistance, or the attacker's proving move).
bool move_of_depth(bool or_node, int wanted, Move* found) {
  const uint8_t mover = or_node ? attacker : attacker ^ 1;
  if (or_node) {
    const SolverEntry* e = solver_probe(attacker, attacker);
    return e != nullptr && find_legal_move(attacker, e->move, e->flags, found);
  }
  hash_move = 0;
  const bool checked = generate_replies(mover);
  for (int k = list_start[ply]; k < list_start[ply + 1]; k++) {
    const Move m = move_stack[k];
    if (!make_if_legal(mover, m, checked)) continue;
    ply++;
    const bool match = tree_depth(true) == wanted;
    ply--;
    unmake_move(mover, m);
    if (match) {
      *found = m;
      return true;
    }
  }
  return false;
}

}  // namespace

int proof_line(uint8_t side, Move* line, int first, int max_index) {
  attacker = side;
  moves_left = PROOF_CHECK_BUDGET;
  given_up = false;
  new_generation();
  const int8_t start_ply = ply;
  const uint16_t saved_hash_move = hash_move;
  const int length = tree_depth(false);
  int i = first;
  bool whole = length != NO_PROOF && first + 2 * length - 1 <= max_index;
  // The defender moves at even steps from `first`; `left` attacker moves
  // are still needed, and the defender is mated where none are.
  for (int left = length; whole && left > 0; i++) {
    const bool or_node = ((i - first) & 1) != 0;
    Move m{};
    if (!move_of_depth(or_node, left, &m)) {
      whole = false;
      break;
    }
    make_move(or_node ? attacker : attacker ^ 1, m);
    line[i] = m;
    ply++;
    if (or_node) left--;
  }
  for (int k = i - 1; k >= first; k--) {
    ply--;
    unmake_move(((k - first) & 1) == 0 ? attacker ^ 1 : attacker, line[k]);
  }
  ply = start_ply;
  hash_move = saved_hash_move;
  line[i] = Move{};
  return whole && !given_up ? length + 1 : 0;
}
