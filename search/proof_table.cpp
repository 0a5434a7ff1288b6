// The proof-number solver's table: buckets of four entries; a new position
// takes the place of an older generation's entry first, then of the one
// that cost the least work. Proven mates are kept longest: the printed line
// is read from them.
#include "search/proof_table.h"

#include <cstdlib>
#include <cstring>

#include "board.h"
#include "board/rights.h"

int32_t solver_hash_megabytes = SOLVER_HASH_DEFAULT;

namespace {

constexpr int BUCKET = 4;
constexpr uint32_t PROVEN_BONUS = 1u << 24;  // work credited to a proven mate

struct SolverTable {
  SolverEntry* entries = nullptr;
  uint32_t bucket_mask = 0;  // buckets - 1
  uint8_t age = 1;
};
// The solver's jobs' table, sized by Solver_Hash, and the table of the
// proofs of the claims the alpha-beta search makes, so that a claim's
// proof never writes into the entries of a job under way.
SolverTable job_table;
SolverTable claim_table;
constexpr int32_t CLAIM_TABLE_MEGABYTES = 8;

// The table this thread's solver reads and writes.
PER_THREAD SolverTable* table = &job_table;

// Allocates `t` for `megabytes` (halving it while that fails).
bool allocate(SolverTable& t, int32_t megabytes) {
  std::free(t.entries);
  t.entries = nullptr;
  t.bucket_mask = 0;
  const uint64_t bytes = static_cast<uint64_t>(megabytes) << 20;
  uint32_t buckets = 1;
  while (static_cast<uint64_t>(buckets) * 2 * BUCKET * sizeof(SolverEntry) <= bytes) buckets *= 2;
  for (; buckets >= 1024; buckets /= 2) {
    t.entries = static_cast<SolverEntry*>(std::malloc(static_cast<size_t>(buckets) * BUCKET * sizeof(SolverEntry)));
    if (t.entries != nullptr) break;
  }
  if (t.entries == nullptr) return false;
  t.bucket_mask = buckets - 1;
  std::memset(t.entries, 0, static_cast<size_t>(buckets) * BUCKET * sizeof(SolverEntry));
  t.age = 1;
  return true;
}

struct Key {
  uint32_t index, lock, check;
};

// A position's facts have role 1..4; its numbers for `moves` attacker moves
// left a role of their own for each number of moves.
Key key_of(uint8_t attacker, uint8_t mover, int moves) {
  const uint32_t role = 1u + attacker + 2u * mover + 4u * static_cast<uint32_t>(moves);
  const uint32_t mix = rights_and_role(role);
  const uint32_t mixed_key = hash_key ^ mix;
  return Key{(mixed_key & table->bucket_mask) * BUCKET, hash_lock ^ (mix >> 3) ^ role, mixed_key};
}

bool matches(const SolverEntry& e, const Key& k) { return e.lock == k.lock && e.check == k.check; }

uint32_t keep_value(const SolverEntry& e) { return e.mate != DISTANCE_NONE ? e.work + PROVEN_BONUS : e.work; }

}  // namespace

bool solver_table_allocate(int32_t megabytes) {
  if (megabytes < 1) megabytes = 1;
  if (megabytes > SOLVER_HASH_MAX) megabytes = SOLVER_HASH_MAX;
  if (claim_table.entries == nullptr) allocate(claim_table, CLAIM_TABLE_MEGABYTES);
  if (!allocate(job_table, megabytes)) return false;
  solver_hash_megabytes = megabytes;
  return true;
}

void solver_table_free() {
  for (SolverTable* t : {&job_table, &claim_table}) {
    std::free(t->entries);
    *t = SolverTable{};
  }
}

namespace {

void clear(SolverTable& t) {
  if (t.entries != nullptr) std::memset(t.entries, 0, static_cast<size_t>(t.bucket_mask + 1) * BUCKET * sizeof(SolverEntry));
  t.age = 1;
}

}  // namespace

void solver_table_clear() { clear(*table); }

void solver_tables_clear() {
  clear(job_table);
  clear(claim_table);
}

bool solver_use_claim_table(bool claims) {
  const bool was = table == &claim_table;
  table = claims ? &claim_table : &job_table;
  return was;
}

bool solver_table_restart_once(bool* done) {
  if (*done) return false;
  *done = true;
  solver_table_clear();
  return true;
}

void solver_table_new_age() {
  if (++table->age == 0) table->age = 1;
}

SolverEntry* solver_probe_at(uint8_t attacker, uint8_t mover, int moves) {
  if (table->entries == nullptr) return nullptr;
  const Key k = key_of(attacker, mover, moves);
  SolverEntry* bucket = table->entries + k.index;
  for (int i = 0; i < BUCKET; i++)
    if (matches(bucket[i], k)) return &bucket[i];
  return nullptr;
}

SolverEntry* solver_slot_at(uint8_t attacker, uint8_t mover, int moves) {
  if (table->entries == nullptr) return nullptr;
  const Key k = key_of(attacker, mover, moves);
  SolverEntry* bucket = table->entries + k.index;
  const uint8_t age = table->age;
  SolverEntry* victim = &bucket[0];
  for (int i = 0; i < BUCKET; i++) {
    SolverEntry& e = bucket[i];
    if (matches(e, k)) {
      e.age = age;
      return &e;
    }
    const bool older = e.age != age && victim->age == age;
    const bool same_age = (e.age == age) == (victim->age == age);
    if (older || (same_age && keep_value(e) < keep_value(*victim))) victim = &e;
  }
  *victim = SolverEntry{k.lock, k.check, 1, 1, 0, 0, 0, DISTANCE_NONE, DISTANCE_NONE, age};
  return victim;
}

SolverEntry* solver_probe(uint8_t attacker, uint8_t mover) { return solver_probe_at(attacker, mover, 0); }

SolverEntry* solver_slot(uint8_t attacker, uint8_t mover) { return solver_slot_at(attacker, mover, 0); }

uint16_t solver_move_hint(uint8_t attacker, uint8_t mover) {
  const SolverEntry* e = solver_probe(attacker, mover);
  return e != nullptr && e->mate != DISTANCE_NONE ? e->move : 0;
}
