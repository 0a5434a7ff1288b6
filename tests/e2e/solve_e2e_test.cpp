// solve as a composer runs it: the text of known solutions, cooks, no mate,
// zugzwang and bad input; every JSON solution judged on the tests' own rules
// (tools/solution_judge.h), never on the engine's.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/mate_problems.h"
#include "tool_run.h"
#include "tools/solution_judge.h"

namespace {

class SolveRun : public ToolRun {
 protected:
  std::vector<std::string> solve(const std::string& args) { return run_tool(SOLVE_PATH, args); }

  // Each line one solution, judged whole; returns the keys of each.
  static std::vector<int> judged(const std::vector<std::string>& lines, bool tries) {
    std::vector<int> keys;
    MateJudge judge;
    for (const std::string& line : lines) {
      JsonValue solution;
      SolutionFacts facts;
      EXPECT_TRUE(json_read(line, &solution)) << line;
      EXPECT_EQ(judge_solution(solution, tries, &judge, &facts), "") << line;
      keys.push_back(facts.keys);
    }
    return keys;
  }
};

struct SolveCase {
  const char* epd;
  const char* options;
  std::vector<std::string> text;  // lines the text must hold, in this order
  int keys;
};

// From the engine's problem set: a threat, a zugzwang (all defences
// answered differently), a mate in three with a short variation and a
// dual promotion; then small positions of our own for a cook, a shorter
// mate than the one stated, and no mate at all.
const SolveCase CASES[] = {
    {"8/5R2/2K1P3/4k3/8/b1PPpp1B/5p2/8 w - - dm 2;", "",
     {"White mates in 2; no shorter mate.", "1.Kd7! threat: 2.Rf5#", "    1...Kd5 2.Rf5#", "    1...f1=N 2.Rf5#"}, 1},
    {"8/p4P1K/rb1N2Bp/p3P3/N3R1P1/1P1k1P2/1Pbrnp2/2R2Q2 w - - dm 2;", "--tries",
     {"1.Kxh6! zugzwang", "    1...Bxb3 2.Rc3#", "    1...Bc7 2.Nc5#", "    1...Bc5 2.Nxc5#", "    1...Bd4 2.Rxe2#",
      "    1...Be3+ 2.Rf4#", "    1...Rd1 2.Qxe2#", "Try 1.Nb5? 1...Bd4!"}, 1},
    {"1r5k/4NP1b/7K/8/6R1/8/8/8 w - - bm #3;", "--tries",
     {"1.Rg8+!", "    1...Bxg8 2.Ng6# (short)", "    1...Rxg8", "        2.fxg8=Q+ (dual)",
      "            2...Bxg8 3.Ng6#", "        2.fxg8=R+ (dual)", "Try 1.Ng6+? 1...Bxg6!"}, 1},
    {"7k/8/5K2/8/8/8/8/1R6 w - - dm 2;", "",
     {"White mates in 2, cooked; no shorter mate.", "1.Kg6! threat: 2.Rb8#", "    1...Kg8 2.Rb8#",
      "1.Kf7! (cook: a second key) threat: 2.Rh1#"}, 2},
    {"7k/8/5K2/8/8/8/8/1R6 w - - dm 3;", "", {"White mates in 3, cooked; a shorter mate exists, in 2."}, 12},
    {"7k/8/5K2/8/8/8/8/1R6 w - - dm 1;", "--tries", {"No mate in 1.", "Try 1.Rh1+? 1...Kg8!"}, 0},
};

TEST_F(SolveRun, KnownSolutionsReadAsComposersWriteThemAndHoldOnTheRules) {
  for (const SolveCase& c : CASES) {
    const std::string epd = write_file("problem.epd", std::string(c.epd) + "\n");
    const std::vector<std::string> text = solve(std::string(c.options) + " " + epd);
    EXPECT_EQ(status_, 0) << c.epd;
    auto at = text.begin();
    for (const std::string& wanted : c.text) {
      at = std::find(at, text.end(), wanted);
      EXPECT_NE(at, text.end()) << c.epd << ": no line \"" << wanted << "\" in order";
      if (at == text.end()) break;
    }
    const bool tries = std::string(c.options) == "--tries";
    const std::vector<std::string> json = solve("--json " + std::string(c.options) + " " + epd);
    ASSERT_EQ(json.size(), 1u) << c.epd;
    EXPECT_EQ(judged(json, tries), std::vector<int>{c.keys}) << c.epd;
  }
}

// Every mate in two and three of the problem set, tries and all, in one run.
TEST_F(SolveRun, TheProblemSetsMatesInTwoAndThreeHoldOnTheRules) {
  std::string epd;
  int count = 0;
  for (const MateProblem& p : mate_problems(3))
    if (p.moves >= 2) epd += p.fen + " dm " + std::to_string(p.moves) + ";\n", count++;
  ASSERT_GE(count, 10);
  const std::vector<std::string> json = solve("--json --tries " + write_file("set.epd", epd));
  EXPECT_EQ(status_, 0);
  ASSERT_EQ(static_cast<int>(json.size()), count);
  for (int keys : judged(json, true)) EXPECT_EQ(keys, 1);
}

// The judge itself: a tree with a defence left out, a zugzwang for a threat,
// or a mate too many is refused.
TEST_F(SolveRun, TheJudgeRefusesAWrongTree) {
  const std::string epd = write_file("problem.epd", "8/5R2/2K1P3/4k3/8/b1PPpp1B/5p2/8 w - - dm 2;\n");
  const std::vector<std::string> json = solve("--json " + epd);
  ASSERT_EQ(json.size(), 1u);
  const std::string last = ", {\"move\": \"e3e2\", \"replies\": [{\"move\": \"f7f5\", \"mate\": true, "
                           "\"threat\": [], \"defences\": []}]}";
  for (const auto& [from, to] : std::vector<std::pair<std::string, std::string>>{
           {last, ""}, {"\"threat\": [\"f7f5\"]", "\"threat\": null"}, {"\"n\": 2", "\"n\": 3"}}) {
    std::string wrong = json[0];
    ASSERT_NE(wrong.find(from), std::string::npos) << from;
    wrong.replace(wrong.find(from), from.size(), to);
    JsonValue solution;
    SolutionFacts facts;
    MateJudge judge;
    ASSERT_TRUE(json_read(wrong, &solution));
    EXPECT_NE(judge_solution(solution, false, &judge, &facts), "") << wrong;
  }
}

TEST_F(SolveRun, BadInputIsNamedByItsLineAndTheNextProblemGoesOn) {
  const std::string epd = write_file("bad.epd",
                                     "# problems with faults\n"
                                     "7k/8/5K2/8/8/8/8/1R6/8 w - - dm 2;\n"
                                     "7k/8/5K2/8/8/8/8/1R6 x - - dm 2;\n"
                                     "7k/8/5K2/8/8/8/8/1R5K w - - dm 2;\n"
                                     "7k/8/5K2/8/8/8/8/1R6 w - - dm 0;\n"
                                     "7k/8/5K2/8/8/8/8/1R6 w - - id \"no distance\";\n"
                                     "7k/8/8/8/8/8/8/K6R w - - dm 1;\n"
                                     "7k/8/5K2/8/8/8/8/1R6 w K - dm 2;\n"
                                     "7k/8/5K2/8/8/8/8/1R6 w - - dm 1;\n");
  const std::vector<std::string> out = solve(epd);
  EXPECT_EQ(status_, 1);
  EXPECT_NE(std::find(out.begin(), out.end(), "No mate in 1."), out.end());
  const std::string errors = read_text("stderr.txt");
  for (const char* said : {"line 2: malformed FEN", "line 3: malformed FEN: the side", "line 4: illegal position: not one king",
                           "line 5: the number of moves \"0\"", "line 6: no \"dm N;\"", "line 7: illegal position: the side not",
                           "line 8: illegal position: a castling right"})
    EXPECT_NE(errors.find(said), std::string::npos) << said << " not in:\n" << errors;
  EXPECT_EQ(errors.find("line 9"), std::string::npos);

  solve(dir_ + "/missing.epd");
  EXPECT_EQ(status_, 1);
  EXPECT_NE(read_text("stderr.txt").find("cannot read"), std::string::npos);
  const std::vector<std::string> given = run_tool_words(SOLVE_PATH, {"7k/8/5K2/8/8/8/8/1R6 w - - 0 1", "2"});
  EXPECT_EQ(status_, 0);
  EXPECT_NE(std::find(given.begin(), given.end(), "1.Kg6! threat: 2.Rb8#"), given.end());
  run_tool_words(SOLVE_PATH, {"7k/8/5K2/8/8/8/8/1R6 w - -", "41"});
  EXPECT_EQ(status_, 1);
}

}  // namespace
