// The transposition table: one table per side to move, one slot per index.
#pragma once

#include <atomic>
#include <cassert>
#include <cstdint>

#include "board.h"
#include "board/rights.h"
#include "search_state.h"
#include "settings.h"

enum : uint8_t { TT_EXACT = 1, TT_LOWER = 2, TT_UPPER = 4, MATE_THREAT = 0x40 };
// The flags also keep the piece a stored promotion takes (the move key does
// not say), for readers that play the table's move; the searches read only
// the key.
constexpr int TT_PROMO_SHIFT = 3;
constexpr uint8_t TT_PROMO_BITS = PROMO_MASK << TT_PROMO_SHIFT;

constexpr int8_t TT_UNWRITTEN = -127;  // depth of a slot not written since clearing

// An entry as the searches read it.
struct TtEntry {
  uint32_t lock;   // hash_lock of the position
  uint16_t move;   // from << 6 | to, 0 = none
  int16_t score;   // mate scores stored distance-independent
  uint8_t flags;   // bound, plus MATE_THREAT
  int8_t depth;    // remaining depth; quiescence entries below -3
  uint8_t age;     // tt_age when written
  uint8_t rights;  // rights_tag() of the position, RIGHTS_ANY for a learned one
};

// An entry as it is kept: three words, each read and written whole by any
// search thread, without a lock. The lock is kept mixed with the two data
// words (the age aside, which the generation wrap rewrites in place), so an
// entry read half old and half new, or left so by two writers, no longer
// matches its position and is a miss.
struct TtSlot {
  uint32_t check;  // the lock ^ tt_data_mix(data, extra)
  uint32_t data;   // move | score << 16
  uint32_t extra;  // flags | depth << 8 | rights << 16 | age << 24
};
static_assert(sizeof(TtSlot) == 12);

extern TtSlot* tt_table[2];   // index: hash_key & hash_mask
extern uint8_t tt_age;
// Slots written since the last clearing; every search thread counts here.
extern std::atomic<uint32_t> tt_used;
extern PER_THREAD TtSlot* tt_current;
extern PER_THREAD uint32_t tt_hits;

constexpr uint32_t TT_AGE_BITS = 0xFF000000u;

inline uint32_t tt_data_mix(uint32_t data, uint32_t extra) {
  return data * 0x9E3779B1u ^ (extra & ~TT_AGE_BITS) * 0x85EBCA77u;
}

template <typename T>
inline T tt_word(const T& word) {
  return __atomic_load_n(&word, __ATOMIC_RELAXED);
}
template <typename T>
inline void tt_set_word(T& word, T value) {
  __atomic_store_n(&word, value, __ATOMIC_RELAXED);
}

// The entry a slot holds; a torn one decodes to a lock no position has
// (but by chance).
inline TtEntry tt_read(const TtSlot& slot) {
  const uint32_t check = tt_word(slot.check), data = tt_word(slot.data), extra = tt_word(slot.extra);
  return TtEntry{check ^ tt_data_mix(data, extra),
                 static_cast<uint16_t>(data),
                 static_cast<int16_t>(data >> 16),
                 static_cast<uint8_t>(extra),
                 static_cast<int8_t>(extra >> 8),
                 static_cast<uint8_t>(extra >> 24),
                 static_cast<uint8_t>(extra >> 16)};
}

inline void tt_write(TtSlot& slot, const TtEntry& e) {
  const uint32_t data = e.move | static_cast<uint32_t>(static_cast<uint16_t>(e.score)) << 16;
  const uint32_t extra = e.flags | static_cast<uint32_t>(static_cast<uint8_t>(e.depth)) << 8 |
                         static_cast<uint32_t>(e.rights) << 16 | static_cast<uint32_t>(e.age) << 24;
  tt_set_word(slot.data, data);
  tt_set_word(slot.extra, extra);
  tt_set_word(slot.check, e.lock ^ tt_data_mix(data, extra));
}

// Whether an entry read belongs to the position on the board: its lock, and
// its rights (the tag is worked out only for an entry whose lock agrees).
inline bool tt_owns(const TtEntry& entry) {
  return entry.lock == hash_lock && (entry.rights == rights_tag() || entry.rights == RIGHTS_ANY);
}

// Empties both tables (tt_age is kept).
void tt_clear();
// Sets the age of every slot to 0 (search-start generation wrap).
void tt_reset_ages();

// Depth codes of tt_store.
enum : int8_t { TT_FROM_SEARCH = -1, TT_FROM_QUIESCE = -4 };

// Stores a node's result at the current ply into the table of `side`.
// Mate scores are made independent of the ply; MATE_THREAT is taken from
// node_flags[ply], the promotion piece from `move_flags`. A store that loses
// the replacement test is dropped.
void tt_store(uint8_t side, int16_t score, int8_t depth_code, int from, int to, uint8_t bound,
              uint32_t move_flags = 0);

// The probe runs at every node, so its parts are inline.

// The entry a probe read, the thread's own copy.
extern PER_THREAD TtEntry tt_probed;

// Selects the slot of the position for `side` (remembered in tt_current)
// and reads it; returns the copy read when it belongs to the position,
// nullptr otherwise. The copy holds until the thread's next probe.
inline const TtEntry* tt_probe_slot(uint8_t side) {
  assert(side <= 1 && tt_table[side] != nullptr);
  TtSlot* slot = &tt_table[side][hash_key & hash_mask];
  tt_current = slot;
  tt_probed = tt_read(*slot);
  return tt_owns(tt_probed) ? &tt_probed : nullptr;
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
  return tt_seen.depth != TT_UNWRITTEN && tt_owns(tt_seen) ? &tt_seen : nullptr;
}

// The move the table holds for the current position, 0 for none.
inline uint16_t tt_move_of(uint8_t side) {
  const TtEntry* entry = tt_entry_of(side);
  return entry != nullptr ? entry->move : 0;
}

// The promotion flags of an entry's move (PROMOTE and the piece), 0 when it
// is no promotion.
inline uint16_t tt_promotion_of(const TtEntry& entry) {
  const uint16_t piece = (entry.flags & TT_PROMO_BITS) >> TT_PROMO_SHIFT;
  return piece != 0 ? static_cast<uint16_t>(PROMOTE | piece) : 0;
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
