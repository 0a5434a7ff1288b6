// The QVbook pair in the engine's working directory answers the first move
// when Use_Engine_Book is on, and is left alone when it is off.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>

#include "board.h"
#include "board/notation.h"
#include "engine_process.h"
#include "protocol/command_loop.h"
#include "protocol/game_setup.h"

namespace {

std::string le(uint32_t value, int bytes) {
  std::string out;
  for (int i = 0; i < bytes; i++) out += static_cast<char>(value >> (8 * i) & 0xFF);
  return out;
}

// A book holding only the position after White's `move` from the start.
void write_book(const std::string& dir, const char* move) {
  ensure_engine_ready();
  new_game();
  ASSERT_EQ(enter_move(move), 1) << move;
  const uint32_t key = hash_lock;
  new_game();
  std::ofstream(dir + "/QVbook.ind", std::ios::binary) << le(key, 4) + le(0, 4);
  std::ofstream(dir + "/QVbook.dat", std::ios::binary)
      << le(key, 4) + le(500, 4) + le(300, 4) + le(200, 4) + le(2500, 2) + le(2450, 2) + le(1, 2) + le(0, 2);
}

std::string go_from_start(EngineProcess& engine) {
  engine.send_line("isready");
  EXPECT_EQ(engine.read_line(), "readyok");
  engine.send_line("position startpos");
  engine.send_line("go depth 3");
  const auto lines = engine.read_until("bestmove", 60000);
  return lines.empty() ? "" : lines.back();
}

TEST(BookE2e, EngineBookAnswersWithoutPonder) {
  EngineProcess engine;
  write_book(engine.workdir(), "e2e4");
  engine.send_line("setoption name Use_Engine_Book value true");
  EXPECT_EQ(go_from_start(engine), "bestmove e2e4");
}

TEST(BookE2e, QvPairAloneIsNotUsedWithTheOptionOff) {
  EngineProcess engine;
  write_book(engine.workdir(), "a2a3");
  const std::string line = go_from_start(engine);
  EXPECT_EQ(line.rfind("bestmove ", 0), 0u) << line;
  EXPECT_EQ(line.find("a2a3"), std::string::npos) << line;
}

}  // namespace
