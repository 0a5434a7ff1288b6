// The proof-number solver. Nodes where the attacker moves are OR nodes (one
// mating move is enough), nodes where the defender moves are AND nodes
// (every defence must lose). Each node carries the attacker moves left; an
// AND node with none left is proven only when the defender is mated there.
// The numbers start from the defender's mobility, so checks, which leave
// few replies, are tried first. Thresholds follow the 1 + epsilon rule,
// which keeps the search from switching back and forth between siblings.
#include "search/proof_search.h"

#include <algorithm>

#include "board.h"
#include "board/attacks.h"
#include "board/make_move.h"
#include "board/movegen.h"
#include "search/proof_table.h"
#include "search/search_poll.h"
#include "search_state.h"

namespace {

struct ProofNumbers {
  uint32_t pn, dn;
  int8_t mate, no_mate;
};

struct Child {
  Move move;
  ProofNumbers n;
};

// Each thread has a solver of its own: the solver's thread its job, the
// main thread the job it works on in turns, or a claim's proof (which saves
// and gives back the job it interrupts). They share the jobs' table only as
// solver_jobs.h says.
PER_THREAD Child children[PLY_SLOTS][MAX_MOVES_PER_PLY] = {};

PER_THREAD SolverJob job = {};
// The turn under way.
PER_THREAD bool turn_over;
PER_THREAD WorkBudget turn = {};  // the moves and the time of the turn
PER_THREAD uint64_t moves_made;

constexpr ProofNumbers PROVEN_NOW{0, PN_INFINITE, 0, DISTANCE_NONE};

ProofNumbers proven(int mate) { return ProofNumbers{0, PN_INFINITE, static_cast<int8_t>(mate), DISTANCE_NONE}; }
ProofNumbers disproven(int no_mate) {
  return ProofNumbers{PN_INFINITE, 0, DISTANCE_NONE, static_cast<int8_t>(std::min(no_mate, +DISTANCE_FOREVER))};
}

uint32_t saturated(uint64_t sum) { return sum >= PN_INFINITE ? PN_INFINITE : static_cast<uint32_t>(sum); }

void count_move() {
  moves_made++;
  nodes++;
  if (!work_count(&turn)) turn_over = true;
}

// What the table knows of the position on the board for `moves` attacker
// moves left; false when it knows nothing usable.
bool known_numbers(uint8_t mover, int moves, ProofNumbers* out) {
  if (const SolverEntry* facts = solver_probe(job.attacker, mover)) {
    if (facts->mate != DISTANCE_NONE && facts->mate <= moves) {
      *out = proven(facts->mate);
      return true;
    }
    if (facts->no_mate != DISTANCE_NONE && facts->no_mate >= moves) {
      *out = disproven(facts->no_mate);
      return true;
    }
  }
  if (moves < 1) return false;
  const SolverEntry* e = solver_probe_at(job.attacker, mover, moves);
  if (e == nullptr) return false;
  *out = ProofNumbers{e->pn, e->dn, DISTANCE_NONE, DISTANCE_NONE};
  return true;
}

// The numbers of a node met for the first time. An AND node's proof number
// is the defender's count of moves: legal evasions when in check, else the
// pseudo-legal moves, which makes quiet attacking moves costlier than checks.
ProofNumbers first_numbers(bool or_node, int moves) {
  if (or_node) return ProofNumbers{1, 1, DISTANCE_NONE, DISTANCE_NONE};
  const uint8_t defender = job.attacker ^ 1;
  if (moves == 0 && !in_check(defender)) return disproven(0);
  const bool checked = generate_replies(defender);
  const uint32_t count = list_start[ply + 1] - list_start[ply];
  if (count == 0) return checked ? PROVEN_NOW : disproven(DISTANCE_FOREVER);
  if (moves == 0) return disproven(0);
  return ProofNumbers{count, 1, DISTANCE_NONE, DISTANCE_NONE};
}

ProofNumbers numbers_of(bool or_node, int moves) {
  ProofNumbers n;
  if (known_numbers(or_node ? job.attacker : job.attacker ^ 1, moves, &n)) return n;
  return first_numbers(or_node, moves);
}

// Expands the node at the current ply into children[ply]; returns the
// count, or -1 when the turn ended before every child was seen.
int expand(bool or_node, int moves, uint16_t hint) {
  const uint8_t mover = or_node ? job.attacker : job.attacker ^ 1;
  hash_move = hint;
  const bool checked = generate_replies(mover);
  const int first = list_start[ply], end = list_start[ply + 1];
  const int child_moves = or_node ? moves - 1 : moves;
  Child* node_children = children[ply];
  int count = 0;
  for (int k = first; k < end; k++) {
    const Move m = move_stack[k];
    const bool legal = make_if_legal(mover, m, checked);
    count_move();
    if (!legal) continue;
    ply++;
    const ProofNumbers n = numbers_of(!or_node, child_moves);
    ply--;
    unmake_move(mover, m);
    node_children[count++] = Child{m, n};
    // One mating move settles an OR node, one holding defence an AND node.
    if (or_node ? n.pn == 0 : n.dn == 0) return count;
    if (turn_over) return -1;
  }
  return count;
}

// The node's numbers from its children's; *best is the child to search next.
// An AND node's proof number is the sum of its children's. An OR node's
// disproof number is not: its children's subtrees share so many positions
// (the attacker's moves transpose) that a sum counts the same work many
// times over and makes a wide node look far harder to disprove than it is.
// It is the largest child's, plus one for each other child still open.
ProofNumbers combine(bool or_node, const Child* node_children, int count, int* best, uint32_t* second) {
  uint64_t sum = 0;
  uint32_t largest_dn = 0, open_children = 0;
  uint32_t low = PN_INFINITE + 1, next = PN_INFINITE;
  int8_t mate = DISTANCE_NONE, no_mate = DISTANCE_NONE;
  int shortest = 0;  // an OR node's proven child with the shortest mate
  *best = 0;
  for (int i = 0; i < count; i++) {
    const ProofNumbers& n = node_children[i].n;
    const uint32_t key = or_node ? n.pn : n.dn;
    sum += or_node ? n.dn : n.pn;
    if (n.dn != 0) {
      largest_dn = std::max(largest_dn, n.dn);
      open_children++;
    }
    if (key < low || (key == low && node_children[i].move.score > node_children[*best].move.score)) {
      next = low;
      low = key;
      *best = i;
    } else if (key < next) {
      next = key;
    }
    if (n.pn == 0 && (or_node ? (mate == DISTANCE_NONE || n.mate < mate) : n.mate > mate)) {
      mate = n.mate;
      shortest = i;
    }
    if (n.dn == 0 && (or_node ? (no_mate == DISTANCE_NONE || n.no_mate < no_mate) : n.no_mate > no_mate))
      no_mate = n.no_mate;
  }
  *second = std::min(next, PN_INFINITE);
  if (or_node) {
    if (low == 0) {
      *best = shortest;
      return proven(mate + 1);
    }
    if (sum == 0) return disproven(no_mate + 1);
    return ProofNumbers{low, saturated(uint64_t{largest_dn} + open_children - 1), DISTANCE_NONE, DISTANCE_NONE};
  }
  if (low == 0) return disproven(no_mate);
  if (sum == 0) return proven(mate);
  return ProofNumbers{saturated(sum), low, DISTANCE_NONE, DISTANCE_NONE};
}

// A proven entry keeps the move of its shortest proof: the line and the
// prover's hints follow it, whatever later searches of the position (with
// fewer moves left) find.
void store(bool or_node, int moves, const ProofNumbers& n, const Move& move, uint64_t work) {
  const uint8_t mover = or_node ? job.attacker : job.attacker ^ 1;
  // A settled node's result is a fact of the position; numbers belong to
  // their number of moves left.
  const bool settled = n.pn == 0 || n.dn == 0;
  SolverEntry* e = solver_slot_at(job.attacker, mover, settled || moves < 1 ? 0 : moves);
  if (e == nullptr) return;
  e->work = saturated(e->work + work);
  if (n.pn == 0) {
    if (e->mate != DISTANCE_NONE && e->mate <= n.mate) return;
    e->mate = n.mate;
  } else if (n.dn == 0) {
    if (n.no_mate > e->no_mate) e->no_mate = n.no_mate;
  } else {
    e->pn = n.pn;
    e->dn = n.dn;
  }
  if (e->mate != DISTANCE_NONE && n.pn != 0) return;
  e->move = move_key(move.from, move.to);
  e->flags = static_cast<uint16_t>(move.flags);
}

// One child's threshold under the 1 + epsilon rule: a little beyond the
// second-best sibling, so that the search stays with a child a while.
uint32_t child_threshold(uint32_t own, uint32_t second) {
  const uint64_t wide = static_cast<uint64_t>(second) + second / 4 + 1;
  return std::min(own, saturated(wide));
}

// Searches the node until its numbers reach a threshold or the turn ends;
// returns false (*result untouched) when the turn ended before the node had
// seen all its children, so that no partial count passes for its numbers.
bool search_to_thresholds(bool or_node, int moves, uint32_t th_pn, uint32_t th_dn, ProofNumbers* result) {
  const uint8_t mover = or_node ? job.attacker : job.attacker ^ 1;
  const uint64_t work_start = moves_made;
  // The best move of this depth's last search first, else the facts' move.
  const SolverEntry* entry = moves >= 1 ? solver_probe_at(job.attacker, mover, moves) : nullptr;
  if (entry == nullptr) entry = solver_probe(job.attacker, mover);
  const int count = expand(or_node, moves, entry != nullptr ? entry->move : 0);
  if (count < 0) return false;
  const bool checked = in_check(mover);
  if (count == 0) {
    // The attacker without a move mates nobody; a defender without one is
    // mated in check and stalemated otherwise.
    *result = !or_node && checked ? PROVEN_NOW : disproven(DISTANCE_FOREVER);
    store(or_node, moves, *result, Move{}, moves_made - work_start);
    return true;
  }
  Child* node_children = children[ply];
  const int child_moves = or_node ? moves - 1 : moves;
  int best;
  uint32_t second;
  ProofNumbers n = combine(or_node, node_children, count, &best, &second);
  while (n.pn < th_pn && n.dn < th_dn && !turn_over) {
    Child& c = node_children[best];
    uint32_t th_child_pn, th_child_dn;
    if (or_node) {
      th_child_pn = child_threshold(th_pn, second);
      th_child_dn = th_dn >= PN_INFINITE ? PN_INFINITE : th_dn - n.dn + c.n.dn;
    } else {
      th_child_dn = child_threshold(th_dn, second);
      th_child_pn = th_pn >= PN_INFINITE ? PN_INFINITE : th_pn - n.pn + c.n.pn;
    }
    make_move(mover, c.move);
    count_move();
    ply++;
    search_to_thresholds(!or_node, child_moves, th_child_pn, th_child_dn, &c.n);
    ply--;
    unmake_move(mover, c.move);
    n = combine(or_node, node_children, count, &best, &second);
  }
  store(or_node, moves, n, node_children[best].move, moves_made - work_start);
  *result = n;
  return true;
}

}  // namespace

int solver_reach(int moves, int first_ply) {
  // The deepest node must still find a slice of the move stack.
  return std::clamp(moves, 1, (MAX_PLY - 1 - first_ply) / 2);
}

void solver_start(uint8_t side, int moves, int first_ply) {
  job.attacker = side;
  job.root_ply = static_cast<int8_t>(first_ply);
  job.limit = solver_reach(moves, first_ply);
  job.state = SOLVER_OPEN;
  job.key_job = false;
  job.proven_distance = 0;
  job.mating_move = Move{};
  solver_table_new_age();
}

void solver_start_key(uint8_t side, const Move& key, int moves, int first_ply) {
  solver_start(side, moves, first_ply);
  job.key_job = true;
  job.mating_move = key;
}

SolverState solver_run(uint32_t moves_budget, int32_t until_cs) {
  if (job.state != SOLVER_OPEN) return job.state;
  const SearchMarks interrupted = search_marks();
  ply = job.root_ply;
  turn_over = search_aborted != 0;
  work_begin(&turn, moves_budget, until_cs);
  while (!turn_over && job.key_job) {
    // The defender's node after the key is the job's root; the root
    // position itself is never stored, since only this one move was tried.
    make_move(job.attacker, job.mating_move);
    // A node the table or the board already settles (out of moves, say) is
    // not expanded: search_to_thresholds() takes its node to be open.
    ProofNumbers n = numbers_of(false, job.limit - 1);
    const bool whole = (n.pn == 0 || n.dn == 0) || search_to_thresholds(false, job.limit - 1, PN_INFINITE, PN_INFINITE, &n);
    unmake_move(job.attacker, job.mating_move);
    if (!whole) break;
    if (n.pn == 0) {
      job.state = SOLVER_MATE;
      job.proven_distance = n.mate + 1;
    } else if (n.dn == 0) {
      job.state = SOLVER_NO_MATE;
    }
    if (job.state != SOLVER_OPEN) break;
  }
  while (!turn_over && !job.key_job) {
    ProofNumbers n;
    if (!search_to_thresholds(true, job.limit, PN_INFINITE, PN_INFINITE, &n)) break;
    if (n.pn == 0) {
      const SolverEntry* e = solver_probe(job.attacker, job.attacker);
      if (e != nullptr && find_legal_move(job.attacker, e->move, e->flags, &job.mating_move)) {
        job.state = SOLVER_MATE;
        job.proven_distance = n.mate;
      }
      break;
    }
    if (n.dn == 0) {
      job.state = SOLVER_NO_MATE;
      break;
    }
  }
  // The solver's moves are the search's work: its nodes stay counted.
  restore_search_marks(interrupted);
  return job.state;
}

void solver_idle() { job.state = SOLVER_IDLE; }

SolverState solver_state() { return job.state; }
int solver_limit() { return job.limit; }
Move solver_mating_move() { return job.mating_move; }
int solver_mate_distance() { return job.proven_distance; }

SolverJob solver_job_marks() { return job; }

void restore_solver_job(const SolverJob& marks) { job = marks; }
