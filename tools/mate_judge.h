// Forced mates decided by trying every move of both sides on the tools' own
// rules, with no part of the engine in them: the judge that the engine's
// claims are held against. Exhaustive, so meant for short mates; results
// are remembered per position while a judge lives.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>

#include "tools/chess_rules.h"

class MateJudge {
 public:
  // Whether the side to move mates within `moves` moves against every
  // defence (a stalemated defender is not mated).
  bool mates(const rules::Position& pos, int moves);
  // Whether `move` of the side to move mates within `moves` moves, itself
  // counted.
  bool move_mates(const rules::Position& pos, const rules::Move& move, int moves);
  // Whether the side to move, whatever it plays, is mated within `moves`
  // moves of the opponent's.
  bool is_mated(const rules::Position& pos, int moves);
  // Positions looked at so far.
  uint64_t positions() const { return positions_; }
  // Forgets what it has settled (it holds on to every position it met).
  void clear() { known_.clear(); }

 private:
  struct Known {
    int8_t mates_within = 0;  // shortest distance found to mate; 0 none
    int8_t holds_beyond = 0;  // longest distance found not to mate
  };
  bool defence_loses(const rules::Position& after, int moves);
  std::unordered_map<std::string, Known> known_;
  uint64_t positions_ = 0;
};

// The legal move of `pos` whose coordinate text is `text`; false when none.
bool find_rules_move(const rules::Position& pos, const char* text, rules::Move* move);
