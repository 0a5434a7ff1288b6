// Looking up root moves in the book and keeping the sound ones as candidates.
#include <cassert>
#include <climits>
#include <cstdint>
#include <cstdio>

#include "board.h"
#include "driver/book.h"
#include "search/search.h"
#include "search_state.h"

BookCandidate book_candidates[BOOK_CANDIDATES];
uint8_t book_sound_move;

namespace {

constexpr int INDEX_ENTRY_BYTES = 8;
constexpr int DATA_RECORD_BYTES = 24;
constexpr int16_t CHECK_WINDOW = 150;  // around the root balance
constexpr int16_t LOSING = -50;
constexpr int16_t TOLERATED_LOSS = 30;
constexpr int16_t SOUND_LOSS = 20;

uint32_t read_u32(const uint8_t* bytes) {
  return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
         static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

uint16_t read_u16(const uint8_t* bytes) { return static_cast<uint16_t>(bytes[0] | bytes[1] << 8); }

// Reads `size` bytes at `offset`; false on a failed seek or a short read.
bool read_at(std::FILE* file, uint64_t offset, uint8_t* buffer, std::size_t size) {
  if (file == nullptr || offset > static_cast<uint64_t>(LONG_MAX)) return false;
  if (std::fseek(file, static_cast<long>(offset), SEEK_SET) != 0) return false;
  return std::fread(buffer, 1, size, file) == size;
}

// The data record number the index gives for `key`, or -1.
int32_t find_record(uint32_t key) {
  int64_t lo = 0;
  int64_t hi = static_cast<int64_t>(book_count) - 1;
  while (lo <= hi) {
    const int64_t mid = (lo + hi) / 2;
    uint8_t entry[INDEX_ENTRY_BYTES];
    if (!read_at(book_index_file, static_cast<uint64_t>(mid) * INDEX_ENTRY_BYTES, entry, sizeof(entry))) return -1;
    const uint32_t entry_key = read_u32(entry);
    if (key > entry_key) {
      lo = mid + 1;
    } else if (key < entry_key) {
      hi = mid - 1;
    } else {
      return static_cast<int32_t>(read_u32(entry + 4));
    }
  }
  return -1;
}

}  // namespace

void book_new_search() {
  for (BookCandidate& c : book_candidates) c = BookCandidate{};
  book_sound_move = 0;
}

int book_probe(int from, int to, int n, uint8_t side) {
  if (n < 0 || n >= BOOK_CANDIDATES) return 0;
  const int32_t record_number = find_record(hash_lock);
  if (record_number < 0) return 0;
  uint8_t record[DATA_RECORD_BYTES];
  if (!read_at(book_data_file, static_cast<uint64_t>(record_number) * DATA_RECORD_BYTES, record, sizeof(record)))
    return 0;
  if (read_u32(record) != hash_lock || read_u16(record + 20) != (side ^ 1)) return 0;

  const uint32_t white_wins = read_u32(record + 4);
  const uint32_t black_wins = read_u32(record + 8);
  const uint32_t draws = read_u32(record + 12);
  const uint16_t white_rating = read_u16(record + 16);
  const uint16_t black_rating = read_u16(record + 18);
  // 64-bit sums keep the percentage within 0 .. 100 whatever the counts.
  const uint64_t games = static_cast<uint64_t>(white_wins) + black_wins + draws;
  if (games == 0) return 0;
  const uint64_t own_wins = side == WHITE ? white_wins : black_wins;
  const uint64_t pct = (2 * own_wins + draws) * 50 / games;
  assert(pct <= 100);

  BookCandidate& c = book_candidates[n];
  c.move = move_key(from, to);
  c.white_wins = white_wins;
  c.black_wins = black_wins;
  c.draws = draws;
  c.games = games > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(games);
  c.own_rating = side == WHITE ? white_rating : black_rating;
  c.opponent_rating = side == WHITE ? black_rating : white_rating;
  c.performance = performance_table[pct] + c.opponent_rating;
  c.mark = 0;
  c.weight = 0;
  c.score_diff = static_cast<int16_t>(read_u16(record + 22));
  return 1;
}

bool book_consider(int from, int to, int n, uint8_t side, int16_t balance) {
  if (!book_probe(from, to, n, side)) return false;
  ply = 2;
  horizon[1] = 1;
  const int16_t alpha = static_cast<int16_t>(balance - CHECK_WINDOW);
  const int16_t beta = static_cast<int16_t>(balance + CHECK_WINDOW);
  const int16_t score = static_cast<int16_t>(-search(side ^ 1, 0, static_cast<int16_t>(-beta), static_cast<int16_t>(-alpha)));
  ply = 1;
  if (score <= LOSING && score <= balance - TOLERATED_LOSS) return false;
  const int16_t diff = static_cast<int16_t>(score - balance);
  book_candidates[n].score_diff = diff;
  if (diff >= -SOUND_LOSS) book_sound_move = 1;
  return true;
}
