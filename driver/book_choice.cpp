// Choosing the book move: weights from the statistics and the check search,
// then a weighted random draw.
#include <cassert>
#include <cstdint>
#include <ctime>

#include "board.h"
#include "driver/book.h"
#include "driver/random.h"
#include "search/pv.h"
#include "search_state.h"

namespace {

constexpr int RARE_SHARE = 100;           // under 1 % of the games: never drawn
constexpr int16_t BAD_FLANK_LOSS = -55;
constexpr uint16_t FLANK_OPENING = move_key(10, 26);  // c2-c4
constexpr int64_t BASE_FACTOR = 100;
constexpr int64_t MAX_FACTOR = 200;

// Highest first; a later entry only moves up when strictly greater.
void sort_candidates(int count, int key_of(const BookCandidate&)) {
  for (int i = 0; i < count; i++)
    for (int j = i + 1; j < count; j++)
      if (key_of(book_candidates[j]) > key_of(book_candidates[i])) {
        const BookCandidate swap = book_candidates[i];
        book_candidates[i] = book_candidates[j];
        book_candidates[j] = swap;
      }
}

int by_weight(const BookCandidate& c) { return c.weight; }
int by_mark(const BookCandidate& c) { return c.mark; }

// Sets every weight; returns their total.
int32_t weigh(int count) {
  uint64_t all_games = 0;
  int64_t performance_sum = 0;
  for (int i = 0; i < count; i++) {
    all_games += book_candidates[i].games;
    performance_sum += static_cast<int64_t>(book_candidates[i].performance) * book_candidates[i].games;
  }
  if (all_games == 0) all_games = 1;
  const int64_t average = performance_sum / static_cast<int64_t>(all_games);
  const uint64_t threshold = all_games / RARE_SHARE;

  int32_t total = 0;
  for (int i = 0; i < count; i++) {
    BookCandidate& c = book_candidates[i];
    const int16_t d = c.score_diff;
    if (c.games < threshold) {
      c.weight = 0;
      continue;
    }
    if (d < BAD_FLANK_LOSS && c.move == FLANK_OPENING && book_sound_move) {
      c.weight = 0;
    } else {
      int64_t factor = (c.performance - average) + BASE_FACTOR + (d < 0 ? d : 0);
      if (factor > MAX_FACTOR) factor = MAX_FACTOR;
      // A negative factor would wrap in the unsigned product: no weight instead.
      if (factor < 0) factor = 0;
      c.weight = static_cast<int16_t>(static_cast<uint64_t>(c.games) * static_cast<uint64_t>(factor) / all_games);
    }
    if (d < -20 && book_sound_move)
      c.weight = static_cast<int16_t>(c.weight / 2);
    else if (d > 40 && c.weight < 80)
      c.weight = static_cast<int16_t>(c.weight + 20);
    else if (d > 20 && c.weight < 90)
      c.weight = static_cast<int16_t>(c.weight + 10);
    total += c.weight;
  }
  return total;
}

// The first root entry with this key (a promotion keeps only one of its
// pieces), or -1.
int root_entry(uint16_t key) {
  for (int i = list_start[1]; i < list_start[2]; i++)
    if (move_key(move_stack[i].from, move_stack[i].to) == key) return i;
  return -1;
}

}  // namespace

uint16_t book_pick(int candidates, int random_value) {
  assert(candidates > 0 && candidates <= BOOK_CANDIDATES);
  int32_t total = weigh(candidates);
  sort_candidates(candidates, by_weight);
  if (total < 1) total = 1;
  const int32_t r = random_value % total + 1;
  int32_t running = 0;
  for (int i = 0; i < candidates; i++) {
    running += book_candidates[i].weight;
    if (running >= r) {
      book_candidates[i].mark = 1;
      break;
    }
  }
  sort_candidates(candidates, by_mark);
  return book_candidates[0].move;
}

bool book_choose(int candidates) {
  if (candidates <= 0) return false;
  if (candidates > BOOK_CANDIDATES) candidates = BOOK_CANDIDATES;
  random_seed(static_cast<uint32_t>(std::time(nullptr)));
  const uint16_t chosen = book_pick(candidates, random_next());
  const int index = root_entry(chosen);
  assert(index >= 0);
  if (index < 0) return false;

  for (int i = list_start[1]; i < list_start[2]; i++) move_stack[i].score = -1;
  const int first = list_start[1];
  Move moved = move_stack[index];
  moved.score = 1;
  for (int k = index; k > first; k--) move_stack[k] = move_stack[k - 1];
  move_stack[first] = moved;
  pv_line[1] = chosen;
  pv_line[2] = 0;
  pv_flags[1] = static_cast<uint16_t>(moved.flags);
  search_aborted = 1;
  return true;
}
