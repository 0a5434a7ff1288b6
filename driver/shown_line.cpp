// Building the printed mate lines. The transposition table gives the line
// first; it is trusted only while each entry's score and bound agree with
// the announced mate at that ply, and only on moves that are legal. Where it
// stops agreeing (an overwritten entry, a promotion whose piece the key does
// not tell, a mated node that stored nothing) the exact prover takes over,
// backing up one ply at a time when the table's line turns out not to be the
// proof's.
#include "driver/shown_line.h"

#include <cstring>

#include "board.h"
#include "board/attacks.h"
#include "board/make_move.h"
#include "board/movegen.h"
#include "search/mate_prover.h"
#include "search/ordering.h"
#include "search/proof_line.h"
#include "search/table_line.h"
#include "search/table_score.h"
#include "search/tt.h"
#include "search_state.h"
#include "settings.h"

namespace {

// Why a tail could not be completed.
enum TailResult { TAIL_DONE, TAIL_WRONG, TAIL_UNKNOWN };

struct Builder {
  uint8_t attacker;
  int mated_ply;  // ply of the checkmated node: 2N for a mate in N
  ShownLine* out;
  Move made[PV_SLOTS];
  int made_end;  // moves made[2 .. made_end - 1] are on the board
};

// The score an entry at line index i must hold for a mate at `mated_ply`.
int16_t expected_score(int i, int mated_ply) {
  return static_cast<int16_t>((i & 1) != 0 ? MATE_SCORE - mated_ply : mated_ply - MATE_SCORE);
}

// Whether the main table's entry of the position before line index i agrees
// with the mate; its move key goes to *key.
bool entry_agrees(uint8_t mover, int i, int mated_ply, uint16_t* key) {
  const TtEntry* entry = tt_entry_of(mover);
  if (entry == nullptr || entry->move == 0 || (entry->flags & (TT_EXACT | TT_LOWER)) == 0) return false;
  if (tt_score_at(*entry, i) != expected_score(i, mated_ply)) return false;
  if (key != nullptr) *key = entry->move;
  return true;
}

void put(Builder& b, int i, const Move& m) {
  b.out->moves[i] = move_key(m.from, m.to);
  b.out->flags[i] = static_cast<uint16_t>(m.flags);
  b.made[i] = m;
  b.made_end = i + 1;
}

uint8_t mover_at(const Builder& b, int i) { return (i & 1) != 0 ? b.attacker : static_cast<uint8_t>(b.attacker ^ 1); }

// Follows the table from index 2 while it agrees; returns the first index
// not filled. Promotions are told apart by the entry of the position each
// piece leads to, and the last move by whether it mates.
int walk_table(Builder& b) {
  int i = 2;
  while (i < b.mated_ply) {
    const uint8_t mover = mover_at(b, i);
    uint16_t key = 0;
    if (!entry_agrees(mover, i, b.mated_ply, &key)) break;
    ply = static_cast<int8_t>(i);
    hash_move = 0;
    generate_moves(mover);
    bool advanced = false;
    const int end = list_start[i + 1];
    for (int k = find_key(list_start[i], end, key); k < end && !advanced; k = find_key(k + 1, end, key)) {
      const Move m = move_stack[k];
      if (!make_if_legal(mover, m)) continue;
      const bool last = i == b.mated_ply - 1;
      ply = static_cast<int8_t>(i + 1);
      const bool agrees = last ? side_is_mated(mover ^ 1) : entry_agrees(mover ^ 1, i + 1, b.mated_ply, nullptr);
      ply = static_cast<int8_t>(i);
      if (agrees) {
        put(b, i, m);
        advanced = true;
      } else {
        unmake_move(mover, m);
      }
    }
    if (!advanced) break;
    i++;
  }
  return i;
}

void take_back_to(Builder& b, int i) {
  while (b.made_end > i) {
    b.made_end--;
    unmake_move(mover_at(b, b.made_end), b.made[b.made_end]);
  }
}

// A defence of the position at index i (defender to move) after which the
// attacker still needs `moves` moves to mate: the longest resistance.
// The main table's move is tried first, so the line shows the defence the
// search itself found.
TailResult choose_defence(Builder& b, int i, int moves) {
  const uint8_t defender = mover_at(b, i);
  ply = static_cast<int8_t>(i);
  hash_move = tt_move_of(defender);
  generate_replies(defender);
  const int first = list_start[i], last = list_start[i + 1] - 1;
  for (int k = first; k <= last; k++) {
    pick_best_move(k, last);
    const Move m = move_stack[k];
    if (!make_if_legal(defender, m)) continue;
    ply = static_cast<int8_t>(i + 1);
    const ProofResult faster = attacker_mates(b.attacker, moves - 1, nullptr);
    ply = static_cast<int8_t>(i);
    if (faster == PROOF_FAILS) {
      put(b, i, m);
      return TAIL_DONE;
    }
    unmake_move(defender, m);
    if (faster == PROOF_UNKNOWN) return TAIL_UNKNOWN;
  }
  return TAIL_WRONG;
}

// The attacker to move at index i mates in exactly `moves`: fill the line
// to the mate, the attacker's moves from the prover and the longest
// defences between them.
TailResult extract(Builder& b, int i, int moves) {
  for (;;) {
    ply = static_cast<int8_t>(i);
    Move proven{};
    if (attacker_mates(b.attacker, moves, &proven) != PROOF_MATES) return TAIL_UNKNOWN;
    Move m{};
    if (!find_legal_move(b.attacker, move_key(proven.from, proven.to), static_cast<uint16_t>(proven.flags), &m))
      return TAIL_WRONG;
    make_move(b.attacker, m);
    put(b, i, m);
    if (moves == 1) {
      ply = static_cast<int8_t>(i + 1);
      return side_is_mated(b.attacker ^ 1) ? TAIL_DONE : TAIL_WRONG;
    }
    const TailResult r = choose_defence(b, i + 1, moves - 1);
    if (r != TAIL_DONE) return r;
    i += 2;
    moves--;
  }
}

// The attacker to move at index i must mate in exactly `moves`.
TailResult attacker_tail(Builder& b, int i, int moves) {
  ply = static_cast<int8_t>(i);
  for (int t = 1; t <= moves; t++) {
    const ProofResult r = attacker_mates(b.attacker, t, nullptr);
    if (r == PROOF_UNKNOWN) return TAIL_UNKNOWN;
    if (r == PROOF_MATES) return t == moves ? extract(b, i, moves) : TAIL_WRONG;
  }
  return TAIL_WRONG;
}

// The defender to move at index i must be mated after exactly `moves` more
// attacker moves, whatever it plays. Right after the root move the shortest
// distance is searched from one move up, so that a shorter mate than the
// search announced is shown as what it is.
TailResult defender_tail(Builder& b, int i, int moves) {
  ply = static_cast<int8_t>(i);
  int found = 0;
  if (i == 2) {
    if (side_is_mated(b.attacker ^ 1)) {
      b.mated_ply = 2;
      return TAIL_DONE;
    }
    for (int t = 1; t <= moves && found == 0; t++) {
      const ProofResult r = defender_loses(b.attacker, t);
      if (r == PROOF_UNKNOWN) return TAIL_UNKNOWN;
      if (r == PROOF_MATES) found = t;
    }
    if (found == 0) return TAIL_WRONG;
    b.mated_ply = 2 + 2 * found;
  } else {
    const ProofResult all = defender_loses(b.attacker, moves);
    if (all != PROOF_MATES) return all == PROOF_UNKNOWN ? TAIL_UNKNOWN : TAIL_WRONG;
    const ProofResult sooner = defender_loses(b.attacker, moves - 1);
    if (sooner != PROOF_FAILS) return sooner == PROOF_UNKNOWN ? TAIL_UNKNOWN : TAIL_WRONG;
    found = moves;
  }
  const TailResult r = choose_defence(b, i, found);
  return r == TAIL_DONE ? extract(b, i + 1, found) : r;
}

// Attacker moves still needed from index i for a mate at `mated_ply`.
int moves_left(int i, int mated_ply) { return (mated_ply - i + 1) / 2; }

// Where the line enters a position the endgame tables know, the rest of it
// is theirs, when it is the mate the line must reach.
bool endgame_tail(Builder& b, int i) {
  if (!tables_cover()) return false;
  const uint8_t mover = mover_at(b, i);
  int16_t score;
  if (!table_score(mover, i, &score) || score != expected_score(i, b.mated_ply)) return false;
  return table_line(mover, i, PV_LAST_MOVE_INDEX, b.out->moves, b.out->flags) == b.mated_ply;
}

// Completes the line from index `end`, where the table's line stopped;
// true when it reaches the mate.
bool complete_line(Builder& b, int end) {
  if (end == b.mated_ply) {
    if (end > 2) return true;
    // A mate in one: the root move itself must mate.
    ply = 2;
    if (side_is_mated(b.attacker ^ 1)) return true;
  }
  for (;;) {
    if (endgame_tail(b, end)) return true;
    const int moves = moves_left(end, b.mated_ply);
    const TailResult r =
        (end & 1) != 0 ? attacker_tail(b, end, moves) : defender_tail(b, end, moves);
    if (r == TAIL_DONE) return true;
    take_back_to(b, end);
    if (r == TAIL_UNKNOWN || end <= 2) return false;
    // The table's move before this point was not the proof's: prove it too.
    end--;
    take_back_to(b, end);
  }
}

// Results of recent builds, so that a line printed again at every iteration
// costs nothing, and a failed proof is not repeated until the table offers
// more of the line.
// What building a line changes that the search it interrupts must get
// back: its ply, hash move, last square moved to, and node count (a line's
// proof is no part of the search's work).
struct SearchMarks {
  int8_t ply;
  uint16_t hash_move;
  uint8_t last_to;
  uint32_t nodes;
};
SearchMarks save_marks() { return SearchMarks{ply, hash_move, last_to_square, nodes}; }
void restore_marks(const SearchMarks& marks) {
  ply = marks.ply;
  hash_move = marks.hash_move;
  last_to_square = marks.last_to;
  nodes = marks.nodes;
}

struct Built {
  bool filled;
  uint32_t lock, key;
  int16_t claimed;
  int16_t walk_end;
  ShownLine line;
};
constexpr int BUILT_SLOTS = 16;
Built built[BUILT_SLOTS];
int built_next;

Built* find_built(uint32_t lock, uint32_t key, int16_t claimed) {
  for (Built& entry : built)
    if (entry.filled && entry.lock == lock && entry.key == key && entry.claimed == claimed) return &entry;
  return nullptr;
}


}  // namespace

void build_solver_line(uint8_t attacker, const Move& root, int distance, ShownLine* out) {
  const SearchMarks marks = save_marks();
  const int16_t claimed = static_cast<int16_t>(MATE_SCORE - 2 * distance);
  shown_root_move(root, claimed, SHOWN_LOWER, out);

  ply = 2;
  Move line[PV_SLOTS];
  const int length = proof_line(attacker, line, 2, PV_LAST_MOVE_INDEX);
  if (length > 0) {
    for (int i = 2; i <= 2 * length - 1; i++) {
      out->moves[i] = move_key(line[i].from, line[i].to);
      out->flags[i] = static_cast<uint16_t>(line[i].flags);
    }
    out->moves[2 * length] = 0;
    out->flags[2 * length] = 0;
    out->score = static_cast<int16_t>(MATE_SCORE - 2 * length);
    out->kind = SHOWN_EXACT;
  }
  restore_marks(marks);
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
  const int mated_ply = MATE_SCORE - score;
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

  const SearchMarks marks = save_marks();

  // Results are remembered for the position after the root move.
  const uint32_t lock = hash_lock, key = hash_key;
  Builder b{attacker, mated_ply, out, {}, 2};
  shown_root_move(root, score, SHOWN_EXACT, out);
  const int walk_end = walk_table(b);

  Built* known = find_built(lock, key, score);
  if (known != nullptr && (known->line.kind == SHOWN_EXACT || walk_end <= known->walk_end)) {
    take_back_to(b, 2);
    *out = known->line;
  } else {
    prover_begin(LINE_PROOF_BUDGET);
    if (complete_line(b, walk_end)) {
      out->moves[b.mated_ply] = 0;
      out->flags[b.mated_ply] = 0;
      out->score = static_cast<int16_t>(MATE_SCORE - b.mated_ply);
      out->kind = SHOWN_EXACT;
    } else if (prover_exhausted()) {
      shown_root_move(root, score, SHOWN_LOWER, out);
    } else {
      shown_root_move(root, score, SHOWN_NONE, out);
    }
    take_back_to(b, 2);
    if (known == nullptr) {
      known = &built[built_next];
      built_next = (built_next + 1) % BUILT_SLOTS;
    }
    *known = Built{true, lock, key, score, static_cast<int16_t>(walk_end), *out};
  }

  restore_marks(marks);
}
