// The tables sized by the Hash option: both transposition tables and the
// score table, plus a fixed auxiliary table.
#pragma once

#include <cstdint>

// Records of the score and auxiliary tables: the search does not use them;
// they are allocated and cleared with the transposition tables only.
struct AuxRecord {
  uint32_t words[12];
};
struct ScoreEntry {
  uint8_t bytes[8];
};
static_assert(sizeof(AuxRecord) == 48 && sizeof(ScoreEntry) == 8);

constexpr uint32_t AUX_TABLE_RECORDS = 32768;

extern AuxRecord* aux_table;
extern ScoreEntry* score_table;

// Entries per table minus one for a budget of `megabytes`.
uint32_t hash_mask_for(int32_t megabytes);
// Score-table entries left over by the two transposition tables.
uint32_t score_entries_for(int32_t megabytes, uint32_t mask);

// Sizes and allocates both transposition tables and the score table from a
// budget in megabytes, stepping down 2 MB after every failure. Sets hash_mask
// and score_table_entries. Returns 0 on success, with the budget finally used
// in *used_megabytes (when given). When even the smallest budget fails,
// nothing is held and the code of the table that failed is returned (5 and 6
// the transposition tables, 12 the score table); callers tell only success
// from failure: start-up then ends, and a Hash setting leaves no tables.
int allocate_hash_tables(int32_t megabytes, int32_t* used_megabytes);
void free_hash_tables();

void clear_aux_table();
void clear_score_table();
// Empties every table the Hash option sizes, and the auxiliary one (nothing
// to do before the first isready: the tables do not exist yet).
void clear_all_tables();
