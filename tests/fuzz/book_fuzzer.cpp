// Opening-book files of arbitrary contents, then a search in the opening
// with Use_Engine_Book on. Input: one byte choosing the opening, two bytes
// (little-endian) giving the length of the index file, the index file, and
// the rest as the data file.
#include "board.h"
#include "driver/book.h"
#include "fuzz_engine.h"
#include "protocol/position_command.h"
#include "settings.h"

namespace {

// Positions in the opening that a book built from a few games reaches.
constexpr const char* OPENINGS[] = {
    "position startpos",
    "position startpos moves e2e4",
    "position startpos moves e2e4 e7e5",
    "position startpos moves d2d4 g8f6 c2c4",
    "position startpos moves e2e4 c7c5 g1f3 d7d6",
    "position startpos moves e2e4 e7e5 g1f3 b8c6 f1b5 a7a6",
};
constexpr int OPENING_COUNT = sizeof(OPENINGS) / sizeof(OPENINGS[0]);
constexpr int SEARCH_DEPTH = 3;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  fuzz_new_input();
  const int opening = size > 0 ? data[0] % OPENING_COUNT : 0;
  std::size_t index_size = size >= 3 ? static_cast<std::size_t>(data[1] | data[2] << 8) : 0;
  const std::size_t header = size >= 3 ? 3 : size;
  if (index_size > size - header) index_size = size - header;
  fuzz_write_file("QVbook.ind", data + header, index_size);
  fuzz_write_file("QVbook.dat", data + header + index_size, size - header - index_size);

  use_engine_book = 1;
  book_open();
  handle_position(OPENINGS[opening]);
  fuzz_search(SEARCH_DEPTH);
  fuzz_check_position("after the book search", false);
  return 0;
}
