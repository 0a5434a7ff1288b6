// Learning over the pipes: a finished search in the opening leaves its
// record in the working directory's file.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "engine_process.h"

namespace {

uint32_t le(const std::string& bytes, size_t at, int width) {
  uint32_t value = 0;
  for (int i = width - 1; i >= 0; i--) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

int square_of(const std::string& text, size_t at) { return (text[at + 1] - '1') * 8 + (text[at] - 'a'); }

TEST(LearnE2e, SearchAfterOpeningMoveIsRecorded) {
  EngineProcess engine;
  engine.send_line("setoption name Learn value true");
  engine.send_line("isready");
  ASSERT_EQ(engine.read_line(), "readyok");
  engine.send_line("position startpos moves e2e4");
  engine.send_line("go depth 5");
  const auto lines = engine.read_until("bestmove", 60000);
  ASSERT_FALSE(lines.empty());
  const std::string& last = lines.back();
  ASSERT_EQ(last.rfind("bestmove ", 0), 0u) << last;
  ASSERT_GE(last.size(), 13u);
  engine.send_line("quit");
  EXPECT_EQ(engine.wait_exit(), 0);

  std::ifstream file(engine.workdir() + "/KORWEN.LRN", std::ios::binary);
  ASSERT_TRUE(file.is_open());
  const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  ASSERT_EQ(bytes.size(), 32u);
  EXPECT_EQ(le(bytes, 0, 4), 2u);
  EXPECT_EQ(le(bytes, 26, 1), 1u);   // exact
  EXPECT_EQ(le(bytes, 27, 1), 5u);   // the last iteration
  EXPECT_EQ(le(bytes, 28, 1), 1u);   // Black to move
  EXPECT_EQ(le(bytes, 30, 2), static_cast<uint32_t>(square_of(last, 9) << 6 | square_of(last, 11)));
}

}  // namespace
