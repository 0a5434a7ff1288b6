// Transposition-table storage, probing rules, clearing and ageing.
#include "search/tt.h"

#include <cassert>

#include "board.h"
#include "search_state.h"
#include "settings.h"

TtEntry* tt_table[2] = {nullptr, nullptr};
uint8_t tt_age;
std::atomic<uint32_t> tt_used;
PER_THREAD TtEntry* tt_current;
PER_THREAD TtEntry tt_probed = {};
PER_THREAD TtEntry tt_seen = {};
PER_THREAD uint32_t tt_hits;

void tt_clear() {
  for (TtEntry* table : tt_table) {
    if (table == nullptr) continue;
    for (uint32_t i = 0; i <= hash_mask; i++)
      table[i] = TtEntry{0, 0, 0, 0, TT_UNWRITTEN, 1};
  }
  tt_used = 0;
}

void tt_reset_ages() {
  for (TtEntry* table : tt_table) {
    if (table == nullptr) continue;
    for (uint32_t i = 0; i <= hash_mask; i++) table[i].age = 0;
  }
}

namespace {

// Mate scores travel through the table relative to the storing node.
int16_t score_to_table(int16_t score, int p) {
  if (score > MATE_BOUND) return static_cast<int16_t>(score + p);
  if (score < -MATE_BOUND) return static_cast<int16_t>(score - p);
  return score;
}

TtEntry& slot_of(uint8_t side) {
  assert(side <= 1 && tt_table[side] != nullptr);
  tt_current = &tt_table[side][hash_key & hash_mask];
  return *tt_current;
}

// A deeper slot still yields to a result when it is stale and foreign.
bool older_other_position(const TtEntry& slot) { return tt_age > slot.age && slot.lock != hash_lock; }

}  // namespace

void tt_store(uint8_t side, int16_t score, int8_t depth_code, int from, int to, uint8_t bound) {
  const int p = ply;
  TtEntry& target = slot_of(side);
  // The replacement test reads the slot once, as the probes do.
  const TtEntry slot = tt_read(target);
  const int h = horizon[p];

  int8_t depth;
  bool replace;
  if (depth_code == TT_FROM_QUIESCE) {
    if (p > h + 20) return;
    depth = static_cast<int8_t>(p - h - 24);
    if (slot.depth == TT_UNWRITTEN)
      replace = true;
    else if (slot.depth >= -3)
      replace = older_other_position(slot);
    else
      replace = depth <= slot.depth || older_other_position(slot);
  } else {
    depth = static_cast<int8_t>(h - p);
    replace = depth >= slot.depth || older_other_position(slot);
  }
  if (!replace) return;

  if (slot.depth == TT_UNWRITTEN) tt_used.fetch_add(1, std::memory_order_relaxed);
  const uint8_t flags = (node_flags[p] & MATE_THREAT) ? static_cast<uint8_t>(bound | MATE_THREAT) : bound;
  tt_set_field(target.flags, flags);
  tt_set_field(target.move, move_key(from, to));
  tt_set_field(target.lock, hash_lock);
  tt_set_field(target.depth, depth);
  tt_set_field(target.age, tt_age);
  tt_set_field(target.score, score_to_table(score, p));
}

void tt_new_search() {
  if (tt_age + 1 > 250) {
    tt_reset_ages();
    tt_age = 1;
  } else {
    tt_age++;
  }
}

void tt_age_game_move() { tt_age = tt_age + 1 > 250 ? 251 : static_cast<uint8_t>(tt_age + 1); }
