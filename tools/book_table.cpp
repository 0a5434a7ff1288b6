// One key per record: the engine's lookup stops at the first equal key, so
// the index must stay unique. The same men on the same squares with either
// side to move share a key (side to move is not hashed); such a key keeps the
// statistics of the side that was to move in more games (on a tie the side
// seen first), and the other side's games are left out rather than mixed in,
// as the engine only uses a record whose side to move matches.
#include "tools/book_table.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "tools/pgn_reader.h"

namespace {

constexpr int SLOT_BITS = 22;  // twice the positions: probes stay short
constexpr uint32_t SLOT_COUNT = 1u << SLOT_BITS;
constexpr int PATH_SIZE = 4096;

struct SideStats {
  uint32_t white_wins;
  uint32_t black_wins;
  uint32_t draws;
  uint64_t white_elo_sum;
  uint64_t black_elo_sum;
};

struct BookPosition {
  uint32_t key;
  uint8_t first_side;
  SideStats sides[2];
};

BookPosition positions[BOOK_TABLE_POSITIONS];
int32_t slots[SLOT_COUNT];  // position index + 1; 0 for an empty slot
int32_t sorted[BOOK_TABLE_POSITIONS];
int32_t record_number[BOOK_TABLE_POSITIONS];
int position_count;
long dropped;

uint32_t slot_of(uint32_t key) { return (key * 2654435761u) >> (32 - SLOT_BITS); }

uint32_t games_of(const SideStats& s) { return s.white_wins + s.black_wins + s.draws; }

uint8_t kept_side(const BookPosition& p) {
  const uint32_t white = games_of(p.sides[0]), black = games_of(p.sides[1]);
  if (white == black) return p.first_side;
  return white > black ? 0 : 1;
}

uint16_t average(uint64_t sum, uint32_t games) { return static_cast<uint16_t>((sum + games / 2) / games); }

void put_bytes(std::FILE* file, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; i++) std::fputc(static_cast<int>((value >> (8 * i)) & 0xff), file);
}

bool close_checked(std::FILE* file) {
  const bool written = std::ferror(file) == 0;
  return std::fclose(file) == 0 && written;
}

}  // namespace

void book_table_clear() {
  if (position_count > 0) std::memset(slots, 0, sizeof(slots));
  position_count = 0;
  dropped = 0;
}

bool book_table_add(uint32_t key, uint8_t side, int8_t result, uint16_t white_elo, uint16_t black_elo) {
  uint32_t slot = slot_of(key);
  while (slots[slot] != 0 && positions[slots[slot] - 1].key != key) slot = (slot + 1) & (SLOT_COUNT - 1);
  if (slots[slot] == 0) {
    if (position_count == BOOK_TABLE_POSITIONS) {
      dropped++;
      return false;
    }
    BookPosition& fresh = positions[position_count];
    std::memset(&fresh, 0, sizeof(fresh));
    fresh.key = key;
    fresh.first_side = side;
    slots[slot] = ++position_count;
  }
  SideStats& stats = positions[slots[slot] - 1].sides[side];
  if (result == RESULT_WHITE) stats.white_wins++;
  if (result == RESULT_BLACK) stats.black_wins++;
  if (result == RESULT_DRAW) stats.draws++;
  stats.white_elo_sum += white_elo;
  stats.black_elo_sum += black_elo;
  return true;
}

int book_table_size() { return position_count; }

long book_table_dropped() { return dropped; }

long write_book(const char* base, uint32_t min_games) {
  char index_path[PATH_SIZE];
  char data_path[PATH_SIZE];
  if (std::snprintf(index_path, sizeof(index_path), "%s.ind", base) >= PATH_SIZE ||
      std::snprintf(data_path, sizeof(data_path), "%s.dat", base) >= PATH_SIZE) {
    errno = ENAMETOOLONG;
    return -1;
  }
  std::FILE* data = std::fopen(data_path, "wb");
  if (data == nullptr) return -1;
  std::FILE* index = std::fopen(index_path, "wb");
  if (index == nullptr) {
    const int saved = errno;
    std::fclose(data);
    errno = saved;
    return -1;
  }

  // Records in the order the positions were first met; the index points there.
  int kept = 0;
  for (int i = 0; i < position_count; i++) {
    const BookPosition& p = positions[i];
    const uint8_t side = kept_side(p);
    const SideStats& s = p.sides[side];
    const uint32_t games = games_of(s);
    if (games == 0 || games < min_games) continue;
    record_number[i] = kept;
    sorted[kept++] = i;
    put_bytes(data, p.key, 4);
    put_bytes(data, s.white_wins, 4);
    put_bytes(data, s.black_wins, 4);
    put_bytes(data, s.draws, 4);
    put_bytes(data, average(s.white_elo_sum, games), 2);
    put_bytes(data, average(s.black_elo_sum, games), 2);
    put_bytes(data, side, 2);
    put_bytes(data, 0, 2);
  }

  std::sort(sorted, sorted + kept, [](int32_t a, int32_t b) { return positions[a].key < positions[b].key; });
  for (int i = 0; i < kept; i++) {
    put_bytes(index, positions[sorted[i]].key, 4);
    put_bytes(index, static_cast<uint32_t>(record_number[sorted[i]]), 4);
  }

  const bool data_ok = close_checked(data);
  const bool index_ok = close_checked(index);
  return data_ok && index_ok ? kept : -1;
}
