// The command loop fed arbitrary bytes as its standard input.
#include <algorithm>
#include <cstring>
#include <string>

#include "fuzz_engine.h"
#include "fuzz_input.h"
#include "protocol/command_loop.h"
#include "settings.h"

namespace {

bool contains(const std::string& text, std::size_t begin, std::size_t end, const char* word) {
  return std::search(text.begin() + begin, text.begin() + end, word, word + std::strlen(word)) != text.begin() + end;
}

// Two options would undo the bounds of the harness: Stop_After_Nodes (its
// lines become blank) and a big Hash, slow to clear (its digits become 0,
// which sets the smallest).
void keep_bounds(std::string& text) {
  for (std::size_t begin = 0; begin < text.size();) {
    std::size_t end = text.find('\n', begin);
    if (end == std::string::npos) end = text.size();
    if (text.compare(begin, 9, "setoption") == 0) {
      if (contains(text, begin, end, "Stop_After_Nodes")) {
        std::fill(text.begin() + begin, text.begin() + end, ' ');
      } else if (contains(text, begin, end, "Hash")) {
        std::replace_if(text.begin() + begin, text.begin() + end, [](char c) { return c >= '1' && c <= '9'; }, '0');
      }
    }
    begin = end + 1;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  fuzz_new_input();
  std::string text(reinterpret_cast<const char*>(data), size);
  keep_bounds(text);
  // The end of input ends the loop as quit does, even in a held bestmove.
  fuzz_input_set(reinterpret_cast<const uint8_t*>(text.data()), text.size());
  while (!quit_requested) read_commands();
  fuzz_check_position("after the commands", false);
  return 0;
}
