// Reading a proof back on the board. The attacker's moves are the proof's;
// every defence is generated and followed, so the proof is checked whole:
// each defender node down every branch is mated within the depth found.
// The depth of each node of the proof tree is kept per position while the
// check runs, so that transpositions cost once and the line can take, at
// each defender node, the reply that holds out longest: the line is exactly
// as long as the proof is deep.
#include "search/proof_line.h"

#include <cstring>

#include "board.h"
#include "board/attacks.h"
#include "board/make_move.h"
#include "board/movegen.h"
#include "board/rights.h"
#include "search/mate_prover.h"
#include "search/proof_table.h"
#include "search/search_poll.h"
#include "search/table_line.h"
#include "search/table_score.h"
#include "search/tables.h"
#include "search_state.h"

namespace {

constexpr uint32_t MEMO_ENTRIES = 1u << 16;
constexpr int8_t NO_PROOF = -1;
// The solver's entries are facts of their own distance: no further bound.
constexpr int SOLVER_MOVES = MAX_PLY;

struct Depth {
  uint32_t key, lock;
  uint8_t generation;
  int8_t depth;
};
Depth memo[MEMO_ENTRIES];
uint8_t generation;

uint8_t attacker;
ProofSource source;
WorkBudget check_work;  // the moves the check of one proof may make
bool walk_again;  // a node's depth changed during the walk

void new_generation() {
  if (++generation == 0) {
    std::memset(memo, 0, sizeof(memo));
    generation = 1;
  }
}

Depth& memo_slot(bool or_node, uint32_t* key, uint32_t* lock) {
  *key = hash_key ^ rights_and_role(or_node ? 1 : 2);
  *lock = hash_lock;
  return memo[*key & (MEMO_ENTRIES - 1)];
}

bool count_move() { return work_count(&check_work); }

// The attacker's move of the proof in the position on the board, mating
// within `moves`.
bool proving_move(int moves, Move* m) {
  if (moves < 1 || ply + 1 >= MAX_PLY) return false;
  if (source != PROOF_FROM_PROVER) {
    const SolverEntry* e = solver_probe(attacker, attacker);
    const bool fits = source == PROOF_FROM_SOLVER || (e != nullptr && e->mate <= moves);
    return e != nullptr && e->mate != DISTANCE_NONE && fits && find_legal_move(attacker, e->move, e->flags, m);
  }
  Move proven;
  if (attacker_mates(attacker, moves, &proven) != PROOF_MATES) return false;
  return find_legal_move(attacker, move_key(proven.from, proven.to), static_cast<uint16_t>(proven.flags), m);
}

// Where the endgame tables know the position, they settle its depth: the
// attacker's moves to the mate, or NO_PROOF when the attacker does not win.
bool table_depth(bool or_node, int* depth) {
  TableResult result;
  const uint8_t mover = or_node ? attacker : attacker ^ 1;
  if (!tables_cover() || !tables_probe(mover, &result)) return false;
  if (result.outcome != (or_node ? TABLE_WIN : TABLE_LOSS))
    *depth = NO_PROOF;
  else
    *depth = or_node ? (result.plies + 1) / 2 : result.plies / 2;
  return true;
}

int tree_depth(bool or_node, int moves);

int attacker_depth(int moves) {
  Move m;
  if (!proving_move(moves, &m) || !count_move()) return NO_PROOF;
  make_move(attacker, m);
  ply++;
  const int below = tree_depth(false, moves - 1);
  ply--;
  unmake_move(attacker, m);
  return below == NO_PROOF ? NO_PROOF : below + 1;
}

// The longest any defence holds out; mated: no further move needed;
// stalemated: no proof at all.
int defender_depth(int moves) {
  const uint8_t defender = attacker ^ 1;
  hash_move = 0;
  const bool checked = generate_replies(defender);
  int legal = 0;
  int depth = 0;
  for (int k = list_start[ply]; k < list_start[ply + 1]; k++) {
    const Move m = move_stack[k];
    if (!count_move() || ply + 1 >= MAX_PLY) return NO_PROOF;
    if (!make_if_legal(defender, m, checked)) continue;
    legal++;
    ply++;
    const int below = tree_depth(true, moves);
    ply--;
    unmake_move(defender, m);
    if (below == NO_PROOF) return NO_PROOF;
    if (below > depth) depth = below;
  }
  return legal == 0 && !checked ? NO_PROOF : depth;
}

// Attacker moves the proof needs from here, or NO_PROOF.
int tree_depth(bool or_node, int moves) {
  uint32_t key, lock;
  const Depth& seen = memo_slot(or_node, &key, &lock);
  if (seen.generation == generation && seen.key == key && seen.lock == lock) {
    if (seen.depth <= moves) return seen.depth;
    // Met again with fewer moves left than the proof found for it needs: the
    // prover looks for a shorter one, and the walk starts over with it, so
    // that every node has one depth.
    if (seen.depth != NO_PROOF && source == PROOF_FROM_PROVER) walk_again = true;
  }
  int depth;
  if (!table_depth(or_node, &depth)) depth = or_node ? attacker_depth(moves) : defender_depth(moves);
  if (check_work.over) return NO_PROOF;
  Depth& store = memo_slot(or_node, &key, &lock);
  store = Depth{key, lock, generation, static_cast<int8_t>(depth)};
  return depth <= moves ? depth : NO_PROOF;
}

// The legal move of the current node whose subtree is `wanted` deep
// (the defender's longest resistance, or the attacker's proving move).
bool move_of_depth(bool or_node, int wanted, int moves, Move* found) {
  if (or_node) return proving_move(moves, found);
  const uint8_t defender = attacker ^ 1;
  hash_move = 0;
  const bool checked = generate_replies(defender);
  for (int k = list_start[ply]; k < list_start[ply + 1]; k++) {
    const Move m = move_stack[k];
    if (!make_if_legal(defender, m, checked)) continue;
    ply++;
    const bool match = tree_depth(true, moves) == wanted;
    ply--;
    unmake_move(defender, m);
    if (match) {
      *found = m;
      return true;
    }
  }
  return false;
}

// The tables' line from index i, when they know the position: true when it
// reaches the mate `left` attacker moves away.
bool table_tail(bool or_node, int i, int left, int last_index, uint16_t* moves, uint16_t* flags, bool* whole) {
  int depth;
  if (!table_depth(or_node, &depth)) return false;
  const uint8_t mover = or_node ? attacker : attacker ^ 1;
  const int end = table_line(mover, i, last_index, moves, flags);
  *whole = depth == left && end == i + 2 * left - (or_node ? 1 : 0);
  return true;
}

}  // namespace

int proof_line(uint8_t side, ProofSource from, int moves_bound, int first, int last_index, uint16_t* moves,
               uint16_t* flags) {
  attacker = side;
  source = from;
  work_begin(&check_work, PROOF_CHECK_BUDGET);
  new_generation();
  const int bound = from == PROOF_FROM_SOLVER ? SOLVER_MOVES : moves_bound;
  const SearchMarks interrupted = search_marks();
  constexpr int WALKS = 4;
  int length = NO_PROOF;
  for (int walk = 0; walk < WALKS; walk++) {
    walk_again = false;
    length = tree_depth(false, bound);
    if (!walk_again || check_work.over) break;
    new_generation();
    length = NO_PROOF;
  }
  Move made[PLY_SLOTS];
  int i = first;
  bool whole = length != NO_PROOF && first + 2 * length - 1 <= last_index;
  bool by_tables = false;
  // The defender moves at even steps from `first`; `left` attacker moves
  // are still needed, and the defender is mated where none are.
  for (int left = length, within = bound; whole && left > 0; i++) {
    const bool or_node = ((i - first) & 1) != 0;
    if (table_tail(or_node, i, left, last_index, moves, flags, &whole)) {
      by_tables = true;
      break;
    }
    Move m{};
    if (!move_of_depth(or_node, left, within, &m)) {
      whole = false;
      break;
    }
    make_move(or_node ? attacker : attacker ^ 1, m);
    made[i] = m;
    moves[i] = move_key(m.from, m.to);
    flags[i] = static_cast<uint16_t>(m.flags);
    ply++;
    if (or_node) {
      left--;
      within--;
    }
  }
  for (int k = i - 1; k >= first; k--) {
    ply--;
    unmake_move(((k - first) & 1) == 0 ? attacker ^ 1 : attacker, made[k]);
  }
  restore_search_marks(interrupted);
  if (!by_tables) {
    moves[i] = 0;
    flags[i] = 0;
  }
  return whole && !check_work.over ? length + 1 : 0;
}
