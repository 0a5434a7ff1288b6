// The parts of the main search that its files share: a node's record, its
// child searches and the null move within the search. For search/ alone.
#pragma once

#include <cstdint>

#include "search/search.h"
#include "search_state.h"
#include "types.h"

constexpr int16_t THREAT_NONE = SCORE_INF;   // threat_state: no threat extension here
constexpr int16_t THREAT_SEEN = -SCORE_INF;  // threat_state: the opponent threatens mate
constexpr int NULL_THREAT_REDUCTION = 3;
constexpr int PROBE_REDUCTION = 3;

inline bool is_even(int p) { return (p & 1) == 0; }

// What the moves of one node share.
struct Node {
  uint8_t side, opp;
  int p;
  uint8_t probe_mark, child_probe_mark;
  uint8_t probe_ply_entry, last_to_entry;
  int first, last;  // the node's moves: move_stack[first .. last]
};

// Child search after a move or null move made at ply p.
inline int16_t child(uint8_t opp, uint8_t probe_mark, int16_t alpha, int16_t beta) {
  ply++;
  const int16_t score = static_cast<int16_t>(-search(opp, probe_mark, alpha, beta));
  ply--;
  return score;
}

// The null move of the node at ply p with the horizon lowered by `reduction`;
// the result is from the mover's view. A threat test asks only whether the
// opponent could mate, and leaves null_ply alone. Afterwards last_to_square
// is the node's entry value.
int16_t null_move_search(uint8_t side, uint8_t probe_mark, int16_t beta, int reduction, bool threat_test,
                         uint8_t last_to_entry);

// The node whose null-move cutoff is being verified: it searches its own
// moves, with no null move of its own.
extern PER_THREAD int verifying_ply;

// Whether the defender node may try a null move (not in check, and no mate
// threat known from the table, checked by the caller).
inline bool null_move_allowed(const Node& n) {
  const int p = n.p;
  return null_ply[p - 1] != p - 1 && is_even(p) && piece_material[n.side] > value_rook && p <= horizon[p] - 1 &&
         (null_ply[p] == 0 || null_ply[p] < null_ply[p - 1]) && p != verifying_ply;
}
// The null move of a defender node that may try one: true, with *result, when it ends the node, by a cutoff
// that stands (verified where zugzwangs matter), a stop, or a mate threat
// inside a reduced probe. A threat it reveals is noted for the node's
// threat extension.
bool null_move_ends_node(const Node& n, int16_t alpha, int16_t beta, int16_t* threat_state, int16_t* result);
