// make-book's PGN reader and SAN matcher on arbitrary text: every game read
// is replayed into the book table, from a file and from text in memory.
#include <cstdio>
#include <cstring>
#include <string>

#include "board.h"
#include "fuzz_engine.h"
#include "tools/book_replay.h"
#include "tools/book_table.h"
#include "tools/pgn_reader.h"

namespace {

PgnGame game;  // large: kept out of the stack

// Clearing the whole table is far slower than an input, so it is emptied only
// when it has grown.
constexpr int TABLE_REFILL = 1 << 16;

void replay_all(PgnInput* input, std::FILE* report) {
  long number = 0;
  while (read_pgn_game(input, &game)) {
    add_game_to_book(game, BOOK_DEFAULT_PLIES, "fuzz", ++number, report);
    fuzz_check_position("after a game", true);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  fuzz_new_input(false);
  if (book_table_size() > TABLE_REFILL) book_table_clear();
  static std::FILE* report = std::fopen("/dev/null", "w");

  if (size > 0) {
    std::FILE* file = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (file == nullptr) fuzz_fail("no file over the input");
    PgnInput input;
    pgn_open_file(&input, file);
    replay_all(&input, report);
    std::fclose(file);
  }

  const std::string text(reinterpret_cast<const char*>(data), size);
  PgnInput input;
  pgn_open_text(&input, text.c_str());
  replay_all(&input, report);
  return 0;
}
