// Sizing, allocation and clearing of the Hash-sized tables.
#include "search/hash_tables.h"

#include <cstdlib>
#include <cstring>

#include "settings.h"
#include "search/tt.h"

AuxRecord* aux_table = nullptr;
ScoreEntry* score_table = nullptr;

uint32_t hash_mask_for(int32_t megabytes) {
  struct Row {
    int32_t min_megabytes;
    uint32_t mask;
  };
  static constexpr Row rows[] = {
      {409, 0xFFFFFF}, {205, 0x7FFFFF}, {103, 0x3FFFFF}, {53, 0x1FFFFF}, {28, 0xFFFFF},
      {14, 0x7FFFF},   {7, 0x3FFFF},    {4, 0x1FFFF},    {2, 0xFFFF},   {1, 0x7FFF},
  };
  for (const Row& row : rows)
    if (megabytes >= row.min_megabytes) return row.mask;
  return 1;
}

uint32_t score_entries_for(int32_t megabytes, uint32_t mask) {
  if (megabytes <= 0) return 1;
  // 32-bit unsigned like the byte budget itself; the Hash option keeps
  // megabytes small enough for this not to wrap.
  uint32_t budget = static_cast<uint32_t>(megabytes) * 1048576u;
  uint32_t entries = (budget - 24u * (mask + 1)) / 8;
  return entries <= 1 ? 1 : entries;
}

void free_hash_tables() {
  for (TtSlot*& table : tt_table) {
    std::free(table);
    table = nullptr;
  }
  std::free(score_table);
  score_table = nullptr;
}

int allocate_hash_tables(int32_t megabytes, int32_t* used_megabytes) {
  free_hash_tables();
  for (int32_t m = megabytes;; m -= 2) {
    int failure = 0;
    hash_mask = hash_mask_for(m);
    score_table_entries = score_entries_for(m, hash_mask);
    std::size_t tt_bytes = static_cast<std::size_t>(hash_mask + 1) * sizeof(TtSlot);
    tt_table[0] = static_cast<TtSlot*>(std::malloc(tt_bytes));
    if (tt_table[0] == nullptr) {
      failure = 5;
    } else if ((tt_table[1] = static_cast<TtSlot*>(std::malloc(tt_bytes))) == nullptr) {
      failure = 6;
    } else {
      score_table = static_cast<ScoreEntry*>(std::malloc(score_table_entries * sizeof(ScoreEntry)));
      if (score_table == nullptr) {
        score_table_entries /= 2;
        if (score_table_entries == 0) score_table_entries = 1;
        score_table = static_cast<ScoreEntry*>(std::malloc(score_table_entries * sizeof(ScoreEntry)));
      }
      if (score_table == nullptr) failure = 12;
    }
    if (failure == 0) {
      if (used_megabytes != nullptr) *used_megabytes = m;
      return 0;
    }
    free_hash_tables();
    if (m - 2 < 0) return failure;
  }
}

void clear_aux_table() {
  if (aux_table == nullptr) return;
  for (uint32_t i = 0; i < AUX_TABLE_RECORDS; i++) aux_table[i].words[2] = 0;
}

void clear_score_table() {
  if (score_table == nullptr) return;
  for (uint32_t i = 0; i < score_table_entries; i++) {
    score_table[i].bytes[6] = 0xFF;
    score_table[i].bytes[7] = 0;
  }
}

void clear_all_tables() {
  if (!engine_ready) return;
  tt_clear();
  clear_aux_table();
  clear_score_table();
}
