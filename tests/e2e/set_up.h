// Setting up an engine for a search, as a GUI does.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "engine_process.h"
#include "mate_claims.h"

// Sends the options ("Name value V"), waits for readyok and sets the position.
inline void start(EngineProcess& engine, const std::vector<std::string>& options, const std::string& fen) {
  for (const std::string& option : options) engine.send_line("setoption name " + option);
  engine.send_line("isready");
  ASSERT_EQ(engine.read_line(), "readyok");
  engine.send_line("position fen " + fen);
}

// Reads the lines of a search that must not end by itself until it has
// shown an exact mate in `moves`, then stops it and adds the rest up to
// bestmove. *pv gets the mate's line.
inline void read_mate_then_stop(EngineProcess& engine, int moves, std::vector<std::string>* lines, std::string* pv) {
  while (shortest_exact(*lines, pv) != moves) {
    const std::optional<std::string> line = engine.read_line(120000);
    ASSERT_TRUE(line.has_value()) << joined(*lines);
    ASSERT_FALSE(line->rfind("bestmove", 0) == 0) << *line;
    lines->push_back(*line);
  }
  engine.send_line("stop");
  const std::vector<std::string> rest = engine.read_until("bestmove", 10000);
  lines->insert(lines->end(), rest.begin(), rest.end());
}
