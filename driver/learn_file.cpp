// Opening, creating and closing the learning file.
#include "driver/learn_file.h"

#include "driver/learn_record.h"
#include "search/tt.h"
#include "settings.h"
#include "types.h"

std::FILE* learn_file = nullptr;
uint32_t learn_count;
bool learn_starting_over;

namespace {

constexpr uint32_t LEARN_COUNT_LIMIT = 16384;
constexpr uint8_t LEARNED_AGE = 32;

// A new file holds only its header: count 1 (little-endian), twelve zero bytes.
std::FILE* create_learn_file() {
  std::FILE* file = std::fopen(LEARN_FILE_NAME, "wb+");
  if (file == nullptr) return nullptr;
  const uint32_t count = 1;
  unsigned char header[LEARN_RECORD_SIZE] = {};
  encode_learn_count(count, header);
  if (!write_learn_bytes(file, header) || std::fflush(file) != 0) {
    std::fclose(file);
    return nullptr;
  }
  learn_count = count;
  return file;
}

// Another engine may write the same file: every read must see what is on
// disk now, not what a buffer held from before.
std::FILE* unbuffered(std::FILE* file) {
  if (file != nullptr) std::setvbuf(file, nullptr, _IONBF, 0);
  return file;
}

// A record of zeros is a gap, never a result.
bool all_zero(const unsigned char bytes[LEARN_RECORD_SIZE]) {
  for (int i = 0; i < LEARN_RECORD_SIZE; i++)
    if (bytes[i] != 0) return false;
  return true;
}

// Writes a record over its table slot. A mate the file claims was not proven
// by the search that reads it, and a file can say anything: such a record
// keeps only its move (if it is one), as the first move to try, with no bound that could end
// a search and depth 0, so that any result of the search replaces it.
void place_learned(const LearnRecord& record) {
  // A key naming a square off the board is no move; the move generators
  // take every table move for a real one. The file does not say the
  // position's rights: the entry serves the placement whatever they are.
  TtEntry entry{record.lock, key_from(record.move) < SQUARE_COUNT ? record.move : uint16_t{0},
                record.score, record.flags, record.depth, LEARNED_AGE, RIGHTS_ANY};
  if (record.score > MATE_BOUND || record.score < -MATE_BOUND) {
    entry.depth = 0;
    entry.score = 0;
    entry.flags = 0;
  }
  tt_write(tt_table[record.side == 0 ? 0 : 1][record.key & hash_mask], entry);
}

}  // namespace

void learn_switch_on() {
  // Reopening would leak the handle already held; a reload is all that is due.
  if (learn_file == nullptr) {
    learn_file = unbuffered(std::fopen(LEARN_FILE_NAME, "rb+"));
    if (learn_file == nullptr) learn_file = unbuffered(create_learn_file());
  }
  // Nothing may be written to a file that is not there.
  learn_enabled = learn_file != nullptr;
  if (learn_enabled) learn_load();
}

void learn_switch_off() {
  if (learn_file != nullptr) std::fclose(learn_file);
  learn_file = nullptr;
  learn_enabled = 0;
}

void learn_load() {
  if (learn_file == nullptr) return;
  unsigned char bytes[LEARN_RECORD_SIZE];
  // Without a header the count of an earlier file must not steer appends.
  learn_count = 1;
  learn_starting_over = false;
  if (!seek_learn_record(learn_file, 0) || !read_learn_bytes(learn_file, bytes)) return;
  learn_count = decode_learn_count(bytes);
  // A count no file of this engine holds is not trusted: appends start over
  // at record 1.
  if (learn_count > LEARN_COUNT_LIMIT) {
    learn_count = 1;
    learn_starting_over = true;
  }
  if (learn_count == 0) learn_count = 1;
  // Before the first isready there are no tables; the first isready loads them.
  if (tt_table[0] == nullptr || tt_table[1] == nullptr) return;
  // Every whole record counts, whatever the header says.
  while (read_learn_bytes(learn_file, bytes)) {
    if (all_zero(bytes)) continue;
    place_learned(decode_learn_record(bytes));
  }
}
