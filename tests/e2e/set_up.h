// Setting up an engine for a search, as a GUI does.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine_process.h"

// Sends the options ("Name value V"), waits for readyok and sets the position.
inline void start(EngineProcess& engine, const std::vector<std::string>& options, const std::string& fen) {
  for (const std::string& option : options) engine.send_line("setoption name " + option);
  engine.send_line("isready");
  ASSERT_EQ(engine.read_line(), "readyok");
  engine.send_line("position fen " + fen);
}
