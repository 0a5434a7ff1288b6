// Transposition-table storage, clearing and ageing.
#include "search/tt.h"

#include "settings.h"

TtEntry* tt_table[2] = {nullptr, nullptr};
uint8_t tt_age;
uint32_t tt_used;
TtEntry* tt_current;
uint32_t tt_hits;

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
