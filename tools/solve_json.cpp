// Writing the JSON object of a solution, moves in UCI coordinates.
#include "tools/solve_json.h"

#include <string>

#include "tools/coordinate_text.h"

namespace {

void add_move(std::string* s, const Move& m) {
  char text[6];
  coordinate_text(m, text);
  *s += '"';
  *s += text;
  *s += '"';
}

// A FEN holds no quote or backslash once checked; any other control byte
// would not survive either, so both are escaped all the same.
void add_string(std::string* s, const char* text) {
  *s += '"';
  for (const char* p = text; *p != '\0'; p++) {
    if (*p == '"' || *p == '\\') *s += '\\';
    *s += *p;
  }
  *s += '"';
}

void add_node(std::string* s, const SolveNode& node);

void add_defence(std::string* s, const SolveDefence& d) {
  *s += "{\"move\": ";
  add_move(s, d.move);
  *s += ", \"replies\": [";
  for (size_t i = 0; i < d.replies.size(); i++) {
    if (i > 0) *s += ", ";
    add_node(s, d.replies[i]);
  }
  *s += "]}";
}

void add_node(std::string* s, const SolveNode& node) {
  *s += "{\"move\": ";
  add_move(s, node.move);
  *s += node.mate ? ", \"mate\": true" : ", \"mate\": false";
  *s += ", \"threat\": ";
  if (!node.mate && !node.check && node.threats.empty()) {
    *s += "null";
  } else {
    *s += '[';
    for (size_t i = 0; i < node.threats.size(); i++) {
      if (i > 0) *s += ", ";
      add_move(s, node.threats[i].move);
    }
    *s += ']';
  }
  *s += ", \"defences\": [";
  for (size_t i = 0; i < node.defences.size(); i++) {
    if (i > 0) *s += ", ";
    add_defence(s, node.defences[i]);
  }
  *s += "]}";
}

}  // namespace

void print_json(std::FILE* out, const SolveProblem& problem, const Solution& solution) {
  std::string s = "{\"fen\": ";
  add_string(&s, problem.fen);
  s += ", \"n\": " + std::to_string(problem.moves);
  s += solution.decided ? ", \"decided\": true" : ", \"decided\": false";
  s += ", \"shortest\": " + (solution.shortest > 0 ? std::to_string(solution.shortest) : std::string("null"));
  s += ", \"keys\": [";
  for (size_t i = 0; i < solution.keys.size(); i++) {
    if (i > 0) s += ", ";
    add_node(&s, solution.keys[i]);
  }
  s += "], \"tries\": [";
  for (size_t i = 0; i < solution.tries.size(); i++) {
    s += i > 0 ? ", {\"move\": " : "{\"move\": ";
    add_move(&s, solution.tries[i].move);
    s += ", \"refutation\": ";
    add_move(&s, solution.tries[i].refutation);
    s += '}';
  }
  s += "]}\n";
  std::fputs(s.c_str(), out);
}
