// Transposition-table storage, probing rules, clearing and ageing.
#include "search/tt.h"

#include <cassert>

#include "board.h"
#include "search_state.h"
#include "settings.h"

TtSlot* tt_table[2] = {nullptr, nullptr};
uint8_t tt_age;
std::atomic<uint32_t> tt_used;
PER_THREAD TtSlot* tt_current;
PER_THREAD TtEntry tt_probed = {};
PER_THREAD TtEntry tt_seen = {};
PER_THREAD uint32_t tt_hits;

// Both run while no search thread does, so the slots are written plainly.
void tt_clear() {
  TtSlot empty;
  tt_write(empty, TtEntry{0, 0, 0, 0, TT_UNWRITTEN, 1, 0});
  for (TtSlot* table : tt_table) {
    if (table == nullptr) continue;
    for (uint32_t i = 0; i <= hash_mask; i++) table[i] = empty;
  }
  tt_used = 0;
}

void tt_reset_ages() {
  for (TtSlot* table : tt_table) {
    if (table == nullptr) continue;
    for (uint32_t i = 0; i <= hash_mask; i++) table[i].extra &= ~TT_AGE_BITS;
  }
}

namespace {

// Mate scores travel through the table relative to the storing node.
int16_t score_to_table(int16_t score, int p) {
  if (score > MATE_BOUND) return static_cast<int16_t>(score + p);
  if (score < -MATE_BOUND) return static_cast<int16_t>(score - p);
  return score;
}

TtSlot& slot_of(uint8_t side) {
  assert(side <= 1 && tt_table[side] != nullptr);
  tt_current = &tt_table[side][hash_key & hash_mask];
  return *tt_current;
}

// A deeper slot still yields to a result when it is stale and foreign (the
// same placement with other rights is another position).
bool older_other_position(const TtEntry& slot) {
  return tt_age > slot.age && (slot.lock != hash_lock || slot.rights != rights_tag());
}

}  // namespace

void tt_store(uint8_t side, int16_t score, int8_t depth_code, int from, int to, uint8_t bound, uint32_t move_flags) {
  const int p = ply;
  TtSlot& target = slot_of(side);
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
  uint8_t flags = (node_flags[p] & MATE_THREAT) ? static_cast<uint8_t>(bound | MATE_THREAT) : bound;
  if (move_flags & PROMOTE) flags |= static_cast<uint8_t>((move_flags & PROMO_MASK) << TT_PROMO_SHIFT);
  tt_write(target, TtEntry{hash_lock, move_key(from, to), score_to_table(score, p), flags, depth, tt_age, rights_tag()});
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
