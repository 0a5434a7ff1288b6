// The exact mate prover: an AND-OR search over every legal move of both
// sides, with no pruning, so that what it proves holds on the board. Its
// table remembers, per position and role, the shortest distance proven to
// mate and the longest proven not to; both are facts of the position and
// never go stale.
#include "search/mate_prover.h"

#include <cstring>

#include "board.h"
#include "board/attacks.h"
#include "board/make_move.h"
#include "board/movegen.h"
#include "board/rights.h"
#include "search/ordering.h"
#include "search/solver_jobs.h"
#include "search/proof_table.h"
#include "search/search_poll.h"
#include "search/table_score.h"
#include "search/tables.h"
#include "search/tt.h"
#include "search_state.h"
#include "settings.h"

namespace {

constexpr uint32_t PROOF_ENTRIES = 1u << 17;
constexpr uint32_t PROOF_MASK = PROOF_ENTRIES - 1;

struct ProofEntry {
  uint32_t lock;
  uint32_t check;   // a second key: a false match needs both to agree
  uint16_t move;    // from << 6 | to: the mating move, or a defence that holds
  uint16_t flags;   // the move's flags, so that a promotion keeps its piece
  uint8_t tag;      // 0 empty, else role and side to move
  int8_t mates_in;  // shortest distance proven to mate, 0 none
  int8_t fails_to;  // longest distance proven not to mate, 0 none
};
static_assert(sizeof(ProofEntry) == 16);

ProofEntry proof_table[PROOF_ENTRIES];
WorkBudget work;

struct Slot {
  ProofEntry* entry;
  uint32_t lock, check;
  uint8_t tag;
};

Slot slot_for(uint8_t mover, bool defender_node) {
  const uint8_t tag = static_cast<uint8_t>(1 | mover << 1 | (defender_node ? 4 : 0));
  const uint32_t mix = rights_and_role(tag);
  Slot s;
  s.entry = &proof_table[(hash_key ^ mix) & PROOF_MASK];
  s.lock = hash_lock ^ mix;
  s.check = hash_key ^ (static_cast<uint32_t>(rights_tag()) << 7);
  s.tag = tag;
  return s;
}

bool owns(const Slot& s) { return s.entry->tag == s.tag && s.entry->lock == s.lock && s.entry->check == s.check; }

// A mating move is kept only from the shortest proof: a longer one may
// lean on the shorter one through a repetition (the rook that shuffles
// back to where the shorter mate starts), and its move, followed, would
// go round for ever.
void remember(const Slot& s, bool mates, int moves, const Move* move) {
  ProofEntry& e = *s.entry;
  if (!owns(s)) e = ProofEntry{s.lock, s.check, 0, 0, s.tag, 0, 0};
  if (mates) {
    if (e.mates_in != 0 && moves >= e.mates_in) return;
    e.mates_in = static_cast<int8_t>(moves);
  } else if (moves > e.fails_to) {
    e.fails_to = static_cast<int8_t>(moves);
  }
  if (move != nullptr) {
    e.move = move_key(move->from, move->to);
    e.flags = static_cast<uint16_t>(move->flags);
  }
}

// The move of `mover` to try first, with its promotion piece when it is
// one (0 when the source does not say).
struct Hint {
  uint16_t key;
  uint16_t promotion;
};

// What the entry has settled for `moves`; PROOF_UNKNOWN when nothing, and
// then *hint is the move to try first: the entry's, else the solver's
// proven one, else the main table's (a good first guess for a mate too).
ProofResult recall(const Slot& slot, uint8_t attacker, uint8_t mover, int moves, Hint* hint) {
  *hint = Hint{0, 0};
  if (owns(slot)) {
    const ProofEntry& e = *slot.entry;
    if (e.mates_in != 0 && e.mates_in <= moves) return PROOF_MATES;
    if (e.fails_to >= moves) return PROOF_FAILS;
    *hint = Hint{e.move, static_cast<uint16_t>(e.flags & (PROMOTE | PROMO_MASK))};
  }
  if (hint->key == 0 && !solver_table_busy()) hint->key = solver_move_hint(attacker, mover);
  if (hint->key == 0)
    if (const TtEntry* entry = tt_entry_of(mover)) *hint = Hint{entry->move, tt_promotion_of(*entry)};
  return PROOF_UNKNOWN;
}

// Generates the moves of `mover` into the current ply's slice, the hinted
// move first in the ordering (of a promotion's four, the hinted piece);
// true when `mover` is in check.
bool generate_ordered(uint8_t mover, const Hint& hint) {
  constexpr int16_t HINTED_PROMOTION = 7000;  // above the hash move's queen
  hash_move = hint.key;
  const bool checked = generate_replies(mover);
  if (hint.promotion != 0)
    for (int k = list_start[ply]; k < list_start[ply + 1]; k++) {
      Move& m = move_stack[k];
      if (move_key(m.from, m.to) == hint.key && static_cast<uint16_t>(m.flags) == hint.promotion)
        m.score = HINTED_PROMOTION;
    }
  return checked;
}

// The budget, and the input: a stop heard while a proof runs ends it.
bool count_move() { return work_count(&work); }

// The entry's move as a full move record, for a caller that wants it.
Move entry_move(const ProofEntry& e) {
  return Move{static_cast<int8_t>(key_from(e.move)), static_cast<int8_t>(key_to(e.move)), 0, e.flags};
}

bool room_for_child() { return ply + 1 < MAX_PLY; }

// Most mates are checks all the way: the attacker's checks are tried before
// its quiet moves (a hinted move stays first), an illegal move not at all.
void checks_to_front(uint8_t attacker, int first, int last) {
  constexpr int16_t CHECK_BONUS = 4000;
  for (int k = first; k <= last; k++) {
    Move& m = move_stack[k];
    if (!make_if_legal(attacker, m)) {
      m.score = -SCORE_INF;
      continue;
    }
    const bool check = in_check(attacker ^ 1);
    unmake_move(attacker, m);
    if (check && m.score < CHECK_BONUS) m.score = static_cast<int16_t>(CHECK_BONUS + m.score / 16);
  }
}

// Where the endgame tables know the position, their exact distance settles
// it: a line that leaves the search's reach by a capture is proven there.
ProofResult table_verdict(uint8_t attacker, uint8_t mover, int moves) {
  TableResult result;
  if (!tables_cover() || !tables_probe(mover, &result)) return PROOF_UNKNOWN;
  const bool attacker_wins = result.outcome == (mover == attacker ? TABLE_WIN : TABLE_LOSS);
  // Plies to the mate, the mating move counted, in the attacker's moves.
  return attacker_wins && (result.plies + 1) / 2 <= moves ? PROOF_MATES : PROOF_FAILS;
}

}  // namespace

void prover_begin(uint32_t node_budget) { work_begin(&work, node_budget); }

bool prover_exhausted() { return work.over; }

void prover_clear() { std::memset(proof_table, 0, sizeof(proof_table)); }

bool side_is_mated(uint8_t side) {
  if (!in_check(side)) return false;
  generate_evasions(side);
  return list_start[ply + 1] == list_start[ply];
}

ProofResult attacker_mates(uint8_t attacker, int moves, Move* mating_move) {
  if (moves < 1) return PROOF_FAILS;
  if (work.over || !room_for_child()) return PROOF_UNKNOWN;
  // A mating move is asked for only to build a line, which reads the tables itself.
  if (mating_move == nullptr)
    if (const ProofResult table = table_verdict(attacker, attacker, moves); table != PROOF_UNKNOWN) return table;
  const Slot slot = slot_for(attacker, false);
  Hint hint;
  if (const ProofResult recalled = recall(slot, attacker, attacker, moves, &hint); recalled != PROOF_UNKNOWN) {
    if (recalled == PROOF_MATES && mating_move != nullptr) *mating_move = entry_move(*slot.entry);
    return recalled;
  }

  const uint8_t defender = attacker ^ 1;
  generate_ordered(attacker, hint);
  const int first = list_start[ply], last = list_start[ply + 1] - 1;
  bool unknown = false;
  bool checks_first = hint.key == 0;
  if (checks_first) checks_to_front(attacker, first, last);
  for (int i = first; i <= last; i++) {
    if (!checks_first && i > first) {
      checks_to_front(attacker, i, last);
      checks_first = true;
    }
    pick_best_move(i, last);
    const Move m = move_stack[i];
    if (!count_move()) return PROOF_UNKNOWN;
    if (!make_if_legal(attacker, m)) continue;
    ply++;
    // Only a check can mate at once.
    const ProofResult r = moves == 1 ? (side_is_mated(defender) ? PROOF_MATES : PROOF_FAILS)
                                     : defender_loses(attacker, moves - 1);
    ply--;
    unmake_move(attacker, m);
    if (r == PROOF_MATES) {
      remember(slot, true, moves, &m);
      if (mating_move != nullptr) *mating_move = m;
      return PROOF_MATES;
    }
    if (r == PROOF_UNKNOWN) unknown = true;
  }
  if (unknown) return PROOF_UNKNOWN;
  remember(slot, false, moves, nullptr);
  return PROOF_FAILS;
}

ProofResult defender_loses(uint8_t attacker, int moves) {
  const uint8_t defender = attacker ^ 1;
  if (moves < 1) return side_is_mated(defender) ? PROOF_MATES : PROOF_FAILS;
  if (work.over || !room_for_child()) return PROOF_UNKNOWN;
  if (const ProofResult table = table_verdict(attacker, defender, moves); table != PROOF_UNKNOWN) return table;
  const Slot slot = slot_for(defender, true);
  Hint hint;
  if (const ProofResult recalled = recall(slot, attacker, defender, moves, &hint); recalled != PROOF_UNKNOWN) return recalled;

  const bool checked = generate_ordered(defender, hint);
  const int first = list_start[ply], last = list_start[ply + 1] - 1;
  bool unknown = false;
  int legal = 0;
  for (int i = first; i <= last; i++) {
    pick_best_move(i, last);
    const Move m = move_stack[i];
    if (!count_move()) return PROOF_UNKNOWN;
    if (!make_if_legal(defender, m)) continue;
    legal++;
    ply++;
    const ProofResult r = attacker_mates(attacker, moves, nullptr);
    ply--;
    unmake_move(defender, m);
    if (r == PROOF_FAILS) {
      remember(slot, false, moves, &m);
      return PROOF_FAILS;
    }
    if (r == PROOF_UNKNOWN) unknown = true;
  }
  if (legal == 0) {
    // Checkmated here (lost whatever the distance), or stalemated (never lost).
    remember(slot, checked, checked ? 1 : INT8_MAX, nullptr);
    return checked ? PROOF_MATES : PROOF_FAILS;
  }
  if (unknown) return PROOF_UNKNOWN;
  remember(slot, true, moves, nullptr);
  return PROOF_MATES;
}
