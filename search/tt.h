// The transposition table: one table per side to move, one slot per index.
#pragma once

#include <atomic>
#include <cassert>
#include <cstdint>

#include "board.h"
#include "search_state.h"
#include "settings.h"

enum : uint8_t { TT_EXACT = 1, TT_LOWER = 2, TT_UPPER = 4, MATE_THREAT = 0x40 };

constexpr int8_t TT_UNWRITTEN = -127;  // depth of a slot not written since clearing

struct TtEntry {
  uint32_t lock;   // hash_lock of the position
  uint16_t move;   // from << 6 | to, 0 = none
  int16_t score;   // mate scores stored distance-independent
  uint8_t flags;   // bound, plus MATE_THREAT
  int8_t depth;    // remaining depth; quiescence entries below -3
  uint8_t age;     // tt_age when written
};
static_assert(sizeof(TtEntry) == 12);

extern TtEntry* tt_table[2];   // index: hash_key & hash_mask
extern uint8_t tt_age;
// Slots written since the last clearing; every search thread counts here.
extern std::atomic<uint32_t> tt_used;
extern PER_THREAD TtEntry* tt_current;
extern PER_THREAD uint32_t tt_hits;

// Empties both tables (tt_age is kept).
void tt_clear();
// Sets the age of every slot to 0 (search-start generation wrap).
void tt_reset_ages();

// Depth codes of tt_store.
enum : int8_t { TT_FROM_SEARCH = -1, TT_FROM_QUIESCE = -4 };

// Stores a node's result at the current ply into the table of `side`.
// Mate scores are made independent of the ply; MATE_THREAT is taken from
// node_flags[ply]. A store that loses the replacement test is dropped.
void tt_store(uint8_t side, int16_t score, int8_t depth_code, int from, int to, uint8_t bound);

// The probe runs at every node, so its parts are inline.

// Every search thread reads and writes the table without a lock. Each field
// is read and written whole (a relaxed atomic access, a plain move on the
// machine), so an entry read while another thread writes it may hold
// fields of two writes: that costs a wrong bound or a re-search at most, as
// every mate the engine prints is proven on the board first.
template <typename T>
inline T tt_field(const T& field) {
  return __atomic_load_n(&field, __ATOMIC_RELAXED);
}
template <typename T>
inline void tt_set_field(T& field, T value) {
  __atomic_store_n(&field, value, __ATOMIC_RELAXED);
}
inline TtEntry tt_read(const TtEntry& slot) {
  return TtEntry{tt_field(slot.lock),  tt_field(slot.move),  tt_field(slot.score),
                 tt_field(slot.flags), tt_field(slot.depth), tt_field(slot.age)};
}

// The entry a probe read, the thread's own copy.
extern PER_THREAD TtEntry tt_probed;

// Selects the slot of the position for `side` (remembered in tt_current)
// and reads it; returns the copy read when it belongs to the position,
// nullptr otherwise. The copy holds until the thread's next probe.
inline const TtEntry* tt_probe_slot(uint8_t side) {
  assert(side <= 1 && tt_table[side] != nullptr);
  TtEntry* slot = &tt_table[side][hash_key & hash_mask];
  tt_current = slot;
  tt_probed = tt_read(*slot);
  return tt_probed.lock == hash_lock ? &tt_probed : nullptr;
}

// Whether an entry's depth allows a cutoff at the current ply.
inline bool tt_usable_main(const TtEntry& entry) { return entry.depth >= horizon[ply] - ply; }

inline bool tt_usable_quiesce(const TtEntry& entry) {
  if (entry.depth >= -3) return true;
  const int h = horizon[ply];
  return ply <= h + 20 && -entry.depth >= h - ply + 24;
}

// The entry's score seen from ply p: a stored mate distance counts from
// the storing node.
inline int16_t tt_score_at(const TtEntry& entry, int p) {
  if (entry.score > MATE_BOUND) return static_cast<int16_t>(entry.score - p);
  if (entry.score < -MATE_BOUND) return static_cast<int16_t>(entry.score + p);
  return entry.score;
}

inline int16_t tt_score_from_slot(const TtEntry& entry) { return tt_score_at(entry, ply); }

// The entry of the current position in the table of `side`, for readers
// outside the search: a copy, holding until the thread's next call; nullptr
// when the slot holds another position or has not been written since
// clearing.
extern PER_THREAD TtEntry tt_seen;
inline const TtEntry* tt_entry_of(uint8_t side) {
  assert(side <= 1 && tt_table[side] != nullptr);
  tt_seen = tt_read(tt_table[side][hash_key & hash_mask]);
  return tt_seen.depth != TT_UNWRITTEN && tt_seen.lock == hash_lock ? &tt_seen : nullptr;
}

// The move the table holds for the current position, 0 for none.
inline uint16_t tt_move_of(uint8_t side) {
  const TtEntry* entry = tt_entry_of(side);
  return entry != nullptr ? entry->move : 0;
}

// Whether a usable entry with (ply-adjusted) `score` ends the node.
inline bool tt_bound_cuts(const TtEntry& entry, int16_t score, int16_t alpha, int16_t beta) {
  if (entry.flags & TT_EXACT) return true;
  if (entry.flags & TT_LOWER) return score >= beta;
  if (entry.flags & TT_UPPER) return score <= alpha;
  return false;
}

// A new search generation; ages wrap to 1 above 250.
void tt_new_search();
// A move played on the game board; saturates at 251 so that the next
// search start performs the wrap.
void tt_age_game_move();
