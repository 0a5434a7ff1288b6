// The transposition table: one table per side to move, one slot per index.
#pragma once

#include <cstdint>

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
extern uint32_t tt_used;       // slots written since the last clearing
extern TtEntry* tt_current;
extern uint32_t tt_hits;

// Empties both tables (tt_age is kept).
void tt_clear();
// Sets the age of every slot to 0 (search-start generation wrap).
void tt_reset_ages();
