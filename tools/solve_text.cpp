// The text of a solution. The tree is walked on the board, since each move
// is written in the position it is played in.
#include "tools/solve_text.h"

#include <string>

#include "tools/solve_board.h"
#include "tools/solve_san.h"

namespace {

std::FILE* out;
uint8_t attacker;
int problem_moves;

std::string san(uint8_t side, const Move& m) {
  char text[SAN_SIZE];
  san_text(side, m, text);
  return text;
}

std::string attacker_move(int number, const Move& m) { return std::to_string(number) + "." + san(attacker, m); }

// "2.Ra3 ~ 3.Ra8#": each threat and, after another pass, its own threats
// (in brackets when there are several).
std::string threat_text(const SolveNode& node, int number) {
  std::string text;
  for (const SolveNode& t : node.threats) {
    if (!text.empty()) text += ", ";
    text += attacker_move(number, t.move);
    if (t.threats.empty()) continue;
    play(attacker, t.move);
    play_pass();
    const bool several = t.threats.size() > 1;
    text.append(several ? " ~ (" : " ~ ").append(threat_text(t, number + 1)).append(several ? ")" : "");
    take_back_pass();
    take_back(attacker, t.move);
  }
  return text;
}

// What a non-mating attacker move threatens (played on the board).
std::string threat_note(const SolveNode& node, int number) {
  if (node.mate || node.check) return "";
  if (node.threats.empty()) return " zugzwang";
  play_pass();
  const std::string text = std::string(" threat: ").append(threat_text(node, number + 1));
  take_back_pass();
  return text;
}

void print_defences(const SolveNode& node, int number, int indent);

// The attacker's move as the line's text, its mark (dual, short) and its
// threat with it; the move is played on the board meanwhile.
std::string reply_head(const SolveNode& node, int number, const char* mark = "") {
  std::string text = attacker_move(number, node.move).append(mark);
  play(attacker, node.move);
  text += threat_note(node, number);
  take_back(attacker, node.move);
  return text;
}

const char* short_mark(const SolveNode& node, int number) {
  return node.mate && number < problem_moves ? " (short)" : "";
}

void print_line(int indent, const std::string& text) { std::fprintf(out, "%*s%s\n", indent, "", text.c_str()); }

bool all_mate(const SolveDefence& d) {
  for (const SolveNode& r : d.replies)
    if (!r.mate) return false;
  return true;
}

void print_defence(const SolveDefence& d, int number, int indent) {
  std::string line = std::to_string(number) + "..." + san(attacker ^ 1, d.move);
  play(attacker ^ 1, d.move);
  const bool dual = d.replies.size() > 1;
  if (all_mate(d) || !dual) {
    for (const SolveNode& r : d.replies) line.append(" ").append(reply_head(r, number + 1));
    const char* mark = d.replies.empty() ? "" : short_mark(d.replies[0], number + 1);
    print_line(indent, line + (dual ? " (dual)" : "") + mark);
    if (!d.replies.empty() && !d.replies[0].mate) print_defences(d.replies[0], number + 1, indent + 4);
  } else {
    print_line(indent, line);
    for (const SolveNode& r : d.replies) {
      const std::string mark = std::string(" (dual)").append(short_mark(r, number + 1));
      print_line(indent + 4, reply_head(r, number + 1, mark.c_str()));
      print_defences(r, number + 1, indent + 8);
    }
  }
  take_back(attacker ^ 1, d.move);
}

void print_defences(const SolveNode& node, int number, int indent) {
  play(attacker, node.move);
  for (const SolveDefence& d : node.defences) print_defence(d, number, indent);
  if (!node.complete) print_line(indent, "(not proven further in the time)");
  take_back(attacker, node.move);
}

void print_keys(const Solution& s) {
  for (size_t i = 0; i < s.keys.size(); i++) {
    const SolveNode& key = s.keys[i];
    std::string line = attacker_move(1, key.move) + "!";
    if (i > 0) line += " (cook: a second key)";
    if (key.mate_in < s.moves) line.append(" (mates in ").append(std::to_string(key.mate_in)).append(")");
    play(attacker, key.move);
    line += threat_note(key, 1);
    take_back(attacker, key.move);
    print_line(0, line);
    if (!key.mate) print_defences(key, 1, 4);
  }
}

void print_verdict(const Solution& s) {
  const char* side = s.attacker == WHITE ? "White" : "Black";
  if (!s.decided)
    std::fprintf(out, "Not decided in the time: %d first move%s still open; shown is what was proven.\n",
                 s.open_first_moves, s.open_first_moves == 1 ? "" : "s");
  if (s.keys.empty() && s.decided) std::fprintf(out, "No mate in %d.\n", s.moves);
  if (!s.keys.empty())
    std::fprintf(out, "%s mates in %d%s; %s.\n", side, s.moves, s.keys.size() > 1 ? ", cooked" : "",
                 s.shortest < s.moves ? std::string("a shorter mate exists, in ").append(std::to_string(s.shortest)).c_str()
                                      : "no shorter mate");
}

void print_tries(const Solution& s) {
  if (!s.tries_decided) std::fprintf(out, "Tries: not all decided in the time.\n");
  for (const SolveTry& t : s.tries) {
    std::string line = std::string("Try ").append(attacker_move(1, t.move)).append("? ");
    play(attacker, t.move);
    line.append("1...").append(san(attacker ^ 1, t.refutation)).append("!");
    take_back(attacker, t.move);
    print_line(0, line);
  }
  if (s.tries.empty() && s.tries_decided) std::fprintf(out, "No tries.\n");
}

}  // namespace

void print_text(std::FILE* to, const SolveProblem& problem, const Solution& solution, double seconds) {
  out = to;
  attacker = solution.attacker;
  problem_moves = solution.moves;
  if (problem.line > 0) std::fprintf(out, "line %d: ", problem.line);
  std::fprintf(out, "%s  %s to play, mate in %d\n", problem.fen, attacker == WHITE ? "White" : "Black",
               problem.moves);
  print_verdict(solution);
  print_keys(solution);
  if (solution.tries_asked) print_tries(solution);
  std::fprintf(out, "(%.2f s)\n\n", seconds);
}
