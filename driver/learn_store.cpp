// Storing a finished search in the learning file: deeper results of the
// opening and early middlegame only, one record per position.
#include "driver/learn_store.h"

#include <cstdio>

#include "board.h"
#include "driver/learn_file.h"
#include "driver/learn_record.h"
#include "driver/root_search.h"
#include "search/tt.h"
#include "search_control.h"
#include "search_state.h"
#include "settings.h"

namespace {

constexpr int8_t LEARN_MIN_DEPTH = 5;
constexpr int16_t LEARN_GAME_MOVES = 60;
constexpr int16_t LEARN_OPENING_MOVES = 2;

// A score that agreed with the first pass in a clearly lost or clearly won
// position teaches nothing in the first moves.
bool score_stable(int16_t first, int16_t final_score) {
  if (first <= -150 && final_score <= -150) return true;
  const int difference = first - final_score;
  return first >= 200 && final_score >= 200 && difference <= 200 && difference >= -200;
}

bool worth_learning(const Move& best) {
  if (!learn_enabled || learn_file == nullptr) return false;
  if (root_phase > 1) return false;
  if (iteration_depth < LEARN_MIN_DEPTH) return false;
  if (game_index >= LEARN_GAME_MOVES) return false;
  return game_index >= LEARN_OPENING_MOVES || !score_stable(first_pass_score, best.score);
}

// The record number of the position's entry, 0 when the file has none; `end`
// is the number of the first record that is not whole (header included), so
// a record another engine appended, or one whose count never reached the
// header, is found and never overwritten, while a record cut short is.
uint32_t find_entry(LearnRecord& found, uint32_t& end) {
  unsigned char bytes[LEARN_RECORD_SIZE];
  end = 1;
  if (!seek_learn_record(learn_file, 1)) return 0;
  for (; read_learn_bytes(learn_file, bytes); end++) {
    found = decode_learn_record(bytes);
    if (found.lock == hash_lock) return end;
  }
  return 0;
}

// Where a new entry goes: after the last whole record, unless the file's
// count was not believed, when the records are written over from the start.
uint32_t append_target(uint32_t end) {
  if (learn_starting_over && learn_count < end) return learn_count;
  return end;
}

// The header counts the records up to the one just appended, so it never
// claims a record that was not written whole, whatever count it held before.
void raise_count(uint32_t appended) {
  learn_count = appended + 1;
  unsigned char header[LEARN_RECORD_SIZE];
  if (!seek_learn_record(learn_file, 0) || !read_learn_bytes(learn_file, header)) return;
  encode_learn_count(learn_count, header);
  if (seek_learn_record(learn_file, 0) && write_learn_bytes(learn_file, header)) std::fflush(learn_file);
}

}  // namespace

void learn_store(uint8_t side, const Move& best) {
  if (!worth_learning(best)) return;

  LearnRecord existing;
  uint32_t end;
  const uint32_t number = find_entry(existing, end);
  if (number != 0 && existing.depth >= iteration_depth) return;
  const uint32_t target = number != 0 ? number : append_target(end);

  const LearnRecord record{hash_lock, hash_key, best.score, TT_EXACT, iteration_depth, side,
                           move_key(best.from, best.to)};
  unsigned char bytes[LEARN_RECORD_SIZE];
  encode_learn_record(record, bytes);
  // The entry must be in the file before the header may count it.
  if (!seek_learn_record(learn_file, target) || !write_learn_bytes(learn_file, bytes) ||
      std::fflush(learn_file) != 0)
    return;
  if (number == 0) raise_count(target);
}
