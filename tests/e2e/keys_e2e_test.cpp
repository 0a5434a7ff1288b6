// Every key: "go mate N" with MultiPV above 1 shows each first move that
// mates within N, by its proven line and at its shortest distance, and
// ends by itself once every root move is decided.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "engine_process.h"
#include "mate_claims.h"
#include "set_up.h"
#include "tools/chess_rules.h"
#include "tools/mate_judge.h"

namespace {

// Each key within `moves` with the shortest mate it gives, by the judge.
std::map<std::string, int> keys_by_rules(const std::string& fen, int moves) {
  rules::Position pos;
  EXPECT_TRUE(rules::set_fen(&pos, fen.c_str())) << fen;
  rules::MoveList list;
  rules::legal_moves(pos, &list);
  MateJudge judge;
  std::map<std::string, int> keys;
  for (int i = 0; i < list.count; i++) {
    for (int n = 1; n <= moves; n++) {
      if (!judge.move_mates(pos, list.moves[i], n)) continue;
      char text[rules::MOVE_TEXT_SIZE];
      rules::move_text(list.moves[i], text);
      keys[text] = n;
      break;
    }
  }
  return keys;
}

// The keys the engine showed, each with the last distance shown for it.
std::map<std::string, int> keys_shown(const std::vector<std::string>& lines) {
  std::map<std::string, int> keys;
  for (const MateClaim& c : mate_claims(lines))
    if (!c.bound) keys[c.pv.substr(0, c.pv.find(' '))] = c.moves;
  return keys;
}

std::vector<std::string> search_keys(const std::string& fen, int moves, const char* multipv,
                                     const char* solver_hash = "32") {
  EngineProcess engine;
  start(engine, {std::string("MultiPV value ") + multipv, std::string("Solver_Hash value ") + solver_hash}, fen);
  engine.send_line("go mate " + std::to_string(moves));
  return engine.read_until("bestmove", 120000);
}

struct Problem {
  const char* fen;
  int moves;
};

// Small positions whose keys the tests' rules can count: several keys each
// within two moves, one of them in one; the same for the other side.
TEST(Keys, EveryKeyIsShownAtItsShortestDistance) {
  const Problem problems[] = {
      {"k7/8/1K6/8/8/8/8/6Q1 w - - 0 1", 2},
      {"7k/8/6K1/8/8/8/8/R7 w - - 0 1", 2},
      {"7k/8/6K1/8/8/8/8/R7 w - - 0 1", 1},
      {"8/8/8/8/8/1k6/7r/K7 b - - 0 1", 2},
  };
  for (const Problem& p : problems) {
    const std::vector<std::string> lines = search_keys(p.fen, p.moves, "64");
    ASSERT_FALSE(lines.empty()) << p.fen;
    EXPECT_TRUE(false_claims(p.fen, lines).empty()) << p.fen << joined(false_claims(p.fen, lines));
    const std::map<std::string, int> expected = keys_by_rules(p.fen, p.moves);
    EXPECT_EQ(keys_shown(lines), expected) << p.fen << joined(lines);
    // The shortest key is the move played.
    int shortest = p.moves + 1;
    for (const auto& [key, n] : expected) shortest = std::min(shortest, n);
    const std::string played = lines.back().substr(9, lines.back().find(' ', 9) - 9);
    EXPECT_EQ(expected.count(played) ? expected.at(played) : 0, shortest) << p.fen << joined(lines);
  }
}

// A problem with one key ends with that key alone shown; one asked a move
// shorter than its mate says there is none and shows no line.
TEST(Keys, AUniqueKeyIsShownAloneAndNoKeyIsSaid) {
  const Problem problems[] = {
      {"2brrb2/8/p7/7Q/1p1kpPp1/1P1pN1K1/3P4/8 w - - 0 1", 2},
      {"1r5k/4NP1b/7K/8/6R1/8/8/8 w - - 0 1", 3},
  };
  for (const Problem& p : problems) {
    std::vector<std::string> lines = search_keys(p.fen, p.moves, "5");
    ASSERT_FALSE(lines.empty()) << p.fen;
    EXPECT_TRUE(false_claims(p.fen, lines).empty()) << p.fen << joined(false_claims(p.fen, lines));
    const std::map<std::string, int> keys = keys_shown(lines);
    ASSERT_EQ(keys.size(), 1u) << p.fen << joined(lines);
    EXPECT_EQ(keys.begin()->second, p.moves) << p.fen;
    EXPECT_EQ(lines.back().rfind("bestmove " + keys.begin()->first, 0), 0u) << p.fen << joined(lines);

    lines = search_keys(p.fen, p.moves - 1, "5");
    ASSERT_FALSE(lines.empty()) << p.fen;
    EXPECT_TRUE(keys_shown(lines).empty()) << p.fen << joined(lines);
    EXPECT_NE(std::find(lines.begin(), lines.end(), "info string no mate in " + std::to_string(p.moves - 1)),
              lines.end())
        << p.fen << joined(lines);
  }
}

// In a small solver table a key's proof may lean on entries whose own
// proofs have given way, so that its line cannot be read back: the key must
// still be shown, and never an absence of mate claimed.
TEST(Keys, AKeyWhoseProofCannotBeReadBackIsProvenAgain) {
  const std::string fen = "4K2b/B3P2N/1Q1PP1N1/1R1p3r/1r1pk1B1/6P1/b1P1PP2/n7 w - - 0 1";
  const std::vector<std::string> lines = search_keys(fen, 4, "5", "1");
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(std::find(lines.begin(), lines.end(), "info string no mate in 4"), lines.end()) << joined(lines);
  EXPECT_FALSE(keys_shown(lines).empty()) << joined(lines);
  EXPECT_TRUE(false_claims(fen, lines).empty()) << joined(false_claims(fen, lines));
}

}  // namespace
