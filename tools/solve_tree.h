// The solution of a direct-mate problem as solve proves it: every key with
// its threat and every defence answered by every attacker move that still
// mates in time, down to the mates. Each node was proven on the board by the
// engine's exact mate prover.
#pragma once

#include <cstdint>
#include <vector>

#include "types.h"

struct SolveDefence;

// An attacker's move and what follows it.
struct SolveNode {
  Move move{};
  int mate_in = 0;      // attacker moves to the mate, this one counted
  bool mate = false;    // this move mates
  bool check = false;   // the defender cannot pass: no threat
  bool complete = true; // everything below was proven (time and size allowing)
  std::vector<SolveNode> threats;       // what mates if the defender could pass; none: zugzwang
  std::vector<SolveDefence> defences;   // every legal defence (none for the threats' nodes)
};

struct SolveDefence {
  Move move{};
  std::vector<SolveNode> replies;  // shortest mate first; more than one is a dual
};

struct SolveTry {
  Move move{};
  Move refutation{};
};

struct Solution {
  uint8_t attacker = WHITE;
  int moves = 0;
  bool decided = false;     // every first move decided, every tree whole
  int shortest = 0;         // the shortest mate among the keys; 0 none
  int open_first_moves = 0; // first moves left undecided
  bool tries_asked = false;
  bool tries_decided = true;
  std::vector<SolveNode> keys;
  std::vector<SolveTry> tries;
};

// Tree nodes one problem may hold; beyond them the tree is left unfinished.
constexpr int MAX_TREE_NODES = 400000;

// Starts a problem's count of nodes.
void tree_begin();
// With the attacker's move `m` just played (defender to move) and proven to
// mate within `left` further attacker moves: its node, the defences followed
// when `whole`. False when a proof could not be finished.
bool build_node(uint8_t attacker, const Move& m, int left, bool whole, SolveNode* node);

// Solves the problem on the board for the side to move, within `moves`; the
// tries too when asked.
void solve_position(int moves, bool with_tries, Solution* solution);
