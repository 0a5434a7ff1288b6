// A learning file of arbitrary contents: Learn switched on (which loads it),
// a search that stores its result, and the file loaded once more.
#include "driver/learn_file.h"
#include "fuzz_engine.h"
#include "protocol/options.h"
#include "protocol/position_command.h"

namespace {

// Deep enough for a result to be stored, and past the first two moves, where
// every result is.
constexpr int SEARCH_DEPTH = 5;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  fuzz_new_input();
  fuzz_write_file(LEARN_FILE_NAME, data, size);
  handle_setoption("setoption name Learn value true");
  handle_position("position startpos moves e2e4 e7e5");
  fuzz_search(SEARCH_DEPTH);
  fuzz_check_position("after the search", false);
  handle_setoption("setoption name Learn value true");
  handle_setoption("setoption name Learn value false");
  return 0;
}
