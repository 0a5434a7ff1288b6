// The mate suite against small scripted engines, so that its counting does not
// depend on any real engine's speed.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tool_run.h"

namespace {

// Rooks a1/b2 mate in 2 with a1a7 g8h8 b2b8; with the rook on b1 instead, a1a7
// is no move at all.
constexpr const char* LADDER = "6k1/8/8/8/8/8/1R6/R3K3 w - -";
constexpr const char* NO_A1_ROOK = "6k1/8/8/8/8/8/1R6/1R2K3 w - -";

// Scripts of the scripted engine: a command pattern and its replies, tab
// separated (scripted_engine.cpp).

// Answers every go with one bounded line (to be ignored) and one fixed mate in
// 2, and stop with bestmove.
constexpr const char* MATING_ENGINE =
    "uci\tid name Scripted\toption name Hash type spin default 1 min 1 max 8\tuciok\n"
    "isready\treadyok\n"
    "go*\tinfo depth 1 score mate 1 lowerbound nodes 10 pv b2b8"
    "\tinfo depth 3 seldepth 3 score mate 2 nodes 1000 nps 50000 pv a1a7 g8h8 b2b8\n"
    "stop\tbestmove a1a7\n"
    "quit\texit\n";

// Shows only a bound; the test puts its line in place of BOUND_LINE.
constexpr const char* BOUND_ENGINE =
    "uci\tuciok\n"
    "isready\treadyok\n"
    "go*\tinfo depth 2 score mate 2 lowerbound nodes 10 pv BOUND_LINE\n"
    "stop\tbestmove a1a7\n"
    "quit\texit\n";

// Handshakes, then dies at the first go.
constexpr const char* DYING_ENGINE =
    "uci\tuciok\n"
    "isready\treadyok\n"
    "go*\texit\n";

class MateSuiteRun : public ToolRun {
 protected:
  std::vector<std::string> run(const std::string& args) { return run_tool(MATE_SUITE_PATH, args); }
  // The scripted engine, answering from `script` (what it reads goes to engine.log).
  std::string scripted_engine(const std::string& script) {
    write_file("engine.script", script);
    return SCRIPTED_ENGINE_PATH;
  }

  // The RESULT line without its median, which is a time.
  static std::string result_counts(const std::vector<std::string>& lines) {
    if (lines.empty()) return "(no output)";
    const std::string& last = lines.back();
    return last.substr(0, last.find(" median_ms="));
  }

  // The summary without its times: the run's time and the medians.
  static std::vector<std::string> untimed_summary(std::vector<std::string> lines) {
    for (std::string& line : lines) {
      const size_t time = line.find(" time=");
      if (time != std::string::npos) line.erase(time, line.find(' ', time + 1) - time);
      line = line.substr(0, line.find(" median_ms="));
    }
    return lines;
  }

  // The CSV rows with their two times, ms_to_best and ms_used, as "t".
  std::vector<std::string> untimed_rows(const std::string& name) {
    std::vector<std::string> rows;
    std::istringstream text(read_text(name));
    for (std::string row; std::getline(text, row);) {
      std::vector<std::string> fields;
      std::istringstream split(row);
      for (std::string field; std::getline(split, field, ',');) fields.push_back(field);
      for (size_t time : {6u, 8u})
        if (!rows.empty() && time < fields.size() && !fields[time].empty()) fields[time] = "t";
      std::string joined;
      for (size_t i = 0; i < fields.size(); i++) {
        if (i > 0) joined += ',';
        joined += fields[i];
      }
      rows.push_back(joined);
    }
    return rows;
  }

  // The problem numbers of a CSV file, in its order.
  std::vector<int> problem_numbers(const std::string& name) {
    std::vector<int> numbers;
    for (const std::string& row : untimed_rows(name))
      if (!row.empty() && row[0] != 'i') numbers.push_back(std::atoi(row.c_str()));
    return numbers;
  }
};

// Seven problems whose stated lengths straddle the summary's ranges (1-9,
// 10-12, 13 and longer) around a line that is no problem; the scripted
// engine's mate in 2 is best only in the first, and a bad line in the fourth.
std::string seven_problems() {
  std::string suite;
  const std::pair<const char*, int> problems[] = {{LADDER, 2},  {LADDER, 10}, {LADDER, 13}, {NO_A1_ROOK, 2},
                                                  {LADDER, 12}, {LADDER, 9},  {LADDER, 20}};
  for (const auto& [fen, known] : problems) {
    suite += std::string(fen) + " bm #" + std::to_string(known) + ";\n";
    if (known == 10) suite += "this line is not a position\n";
  }
  return suite;
}

size_t count_of(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) count++;
  return count;
}

TEST_F(MateSuiteRun, CountsBestFoundAndBadLines) {
  const std::string engine = scripted_engine(MATING_ENGINE);
  const std::string suite = write_file("suite.epd", std::string(LADDER) + " bm #2; id \"good\";\n" +
                                                        "this line is not a position\n" + NO_A1_ROOK +
                                                        " bm #2;\n" + LADDER + " bm #3;\n");
  const auto lines = run("--engine " + engine + " --ms 60000 --option Hash=2 --csv " + dir_ + "/out.csv " + suite);
  EXPECT_EQ(status_, 0);
  // Mate in 2 is best in the first position, a bad line in the second, and in
  // the third shorter than the known mate: found, but not the best.
  EXPECT_EQ(result_counts(lines), "RESULT best=1/3 found=3 badpv=1");
  ASSERT_GE(lines.size(), 5u);
  EXPECT_NE(lines[0].find("nps_avg=50000 (over 3 info lines)"), std::string::npos) << lines[0];

  const std::vector<std::string> rows = untimed_rows("out.csv");
  const std::vector<std::string> expected = {
      "index,fen,known,found_mate,best,badpv,ms_to_best,nodes,ms_used,nps_sum,nps_lines,budget_ms,engine,asked,no_mate,"
      "keys",
      std::string("1,") + LADDER + ",2,2,1,0,t,1000,t,50000,1,60000,\"Scripted\",2,0,1",
      std::string("2,") + NO_A1_ROOK + ",2,2,0,1,,1000,t,50000,1,60000,\"Scripted\",2,0,0",
      std::string("3,") + LADDER + ",3,2,0,0,,1000,t,50000,1,60000,\"Scripted\",3,0,1"};
  EXPECT_EQ(rows, expected);

  const std::string notes = read_text("stderr.txt");
  EXPECT_NE(notes.find("line 2 skipped"), std::string::npos) << notes;
  EXPECT_NE(notes.find("position 2: mate 2 line illegal or unreadable move"), std::string::npos) << notes;

  const std::string sent = read_file("engine.log");
  EXPECT_NE(sent.find("setoption name Hash value 2\nisready\n"), std::string::npos) << sent;
  EXPECT_NE(sent.find(std::string("position fen ") + LADDER + "\nisready\ngo infinite\nstop\n"), std::string::npos)
      << sent;
  EXPECT_EQ(sent.find("ucinewgame"), std::string::npos) << sent;
}

// A bound claims no mate: it is never found or best, and only its moves are
// checked.
TEST_F(MateSuiteRun, BoundsAreCheckedForLegalityOnly) {
  const std::pair<const char*, const char*> cases[] = {{"a1a7", "RESULT best=0/1 found=0 badpv=0"},
                                                       {"a1a7 g8h8 zzzz", "RESULT best=0/1 found=0 badpv=1"}};
  for (auto [line, expected] : cases) {
    std::string script = BOUND_ENGINE;
    script.replace(script.find("BOUND_LINE"), 10, line);
    const std::string engine = scripted_engine(script);
    const std::string suite = write_file("suite.epd", std::string(LADDER) + " bm #2;\n");
    EXPECT_EQ(result_counts(run("--engine " + engine + " --ms 300 " + suite)), expected) << line;
  }
}

// "go mate N" asks for each problem's distance (within the engine's 1..50)
// and the engine ends that search by itself.
TEST_F(MateSuiteRun, GoMateAsksForTheKnownDistance) {
  const std::string engine = scripted_engine(
      "uci\tuciok\n"
      "isready\treadyok\n"
      "go mate*\tinfo depth 3 score mate 2 pv a1a7 g8h8 b2b8\tbestmove a1a7\n"
      "quit\texit\n");
  const std::string suite = write_file("suite.epd", std::string(LADDER) + " bm #2;\n" + LADDER + " bm #60;\n");
  EXPECT_EQ(result_counts(run("--engine " + engine + " --ms 60000 --go-mate " + suite)),
            "RESULT best=1/2 found=2 badpv=0");
  const std::string sent = read_file("engine.log");
  EXPECT_NE(sent.find("isready\ngo mate 2\nposition"), std::string::npos) << sent;
  EXPECT_NE(sent.find("isready\ngo mate 50\n"), std::string::npos) << sent;
  EXPECT_EQ(sent.find("go infinite"), std::string::npos) << sent;
}

// The keys are the first moves of good mate lines within the distance
// asked, each counted once, whichever MultiPV line shows it.
TEST_F(MateSuiteRun, ProblemsWithSeveralKeysAreCounted) {
  const std::string engine = scripted_engine(
      "uci\tuciok\n"
      "isready\treadyok\n"
      "go mate*\tinfo multipv 1 depth 3 score mate 2 pv a1a7 g8h8 b2b8\t"
      "info multipv 2 depth 3 score mate 2 pv b2b7 g8h8 a1a8\t"
      "info multipv 1 depth 3 score mate 2 pv a1a7 g8f8 b2b8\tbestmove a1a7\n"
      "quit\texit\n");
  const std::string suite = write_file("suite.epd", std::string(LADDER) + " bm #2;\n" + LADDER + " bm #1;\n");
  const auto lines = run("--engine " + engine + " --ms 60000 --go-mate --csv out.csv " + suite);
  ASSERT_FALSE(lines.empty());
  EXPECT_NE(lines.back().find(" badpv=0 "), std::string::npos) << lines.back();
  EXPECT_EQ(lines.back().substr(lines.back().find(" several_keys=")), " several_keys=1") << lines.back();
  const std::vector<std::string> rows = untimed_rows("out.csv");
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[1].substr(rows[1].rfind(',')), ",2");
  // Asked for a mate in 1, the mates in 2 are no keys.
  EXPECT_EQ(rows[2].substr(rows[2].rfind(',')), ",0");
}

// --shorter asks for one move less: an engine that proves there is no such
// mate is counted so, a problem of mate in 1 is left out, and the CSV keeps
// the distance asked.
TEST_F(MateSuiteRun, ShorterAsksOneMoveLessAndCountsTheAbsences) {
  const std::string engine = scripted_engine(
      "uci\tuciok\n"
      "isready\treadyok\n"
      "go mate 1\tinfo string no mate in 1\tbestmove a1a7\n"
      "go mate 2\tinfo string no mate in 3\tbestmove a1a7\n"
      "quit\texit\n");
  const std::string suite = write_file("suite.epd", std::string(LADDER) + " bm #2;\n" + LADDER + " bm #1;\n" +
                                                        LADDER + " bm #3;\n");
  const auto lines = run("--engine " + engine + " --ms 60000 --go-mate --shorter --csv out.csv " + suite);
  ASSERT_FALSE(lines.empty());
  // The second answer names another distance than the one asked.
  EXPECT_EQ(lines.back().substr(0, lines.back().find(" median_ms=")), "RESULT best=0/2 found=0 badpv=0");
  EXPECT_NE(lines.back().find(" no_mate=1 "), std::string::npos) << lines.back();
  const std::string sent = read_file("engine.log");
  EXPECT_NE(sent.find("go mate 1\n"), std::string::npos) << sent;
  EXPECT_NE(sent.find("go mate 2\n"), std::string::npos) << sent;
  EXPECT_EQ(sent.find("go mate 3"), std::string::npos) << sent;
  const std::vector<std::string> rows = untimed_rows("out.csv");
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[1].substr(rows[1].size() - 6), ",1,1,0") << rows[1];
  EXPECT_EQ(rows[2].substr(rows[2].size() - 6), ",2,0,0") << rows[2];
}

TEST_F(MateSuiteRun, CountsByStatedLength) {
  const std::string engine = scripted_engine(MATING_ENGINE);
  const std::string suite = write_file("suite.epd", seven_problems());
  const std::vector<std::string> expected = {
      "engine \"Scripted\" positions=7 ms=60000 nps_avg=50000 (over 7 info lines)",
      "length #1-#9 best=1/3 found=3 badpv=1", "length #10-#12 best=0/2 found=2 badpv=0",
      "length #13+ best=0/2 found=2 badpv=0", "RESULT best=1/7 found=7 badpv=1"};
  EXPECT_EQ(untimed_summary(run("--engine " + engine + " --ms 60000 " + suite)), expected);
}

// Shards take every M-th problem, counted as --first counts them: each
// problem in one shard, in the suite's order. The first shard alone notes
// the line that is no problem.
TEST_F(MateSuiteRun, ShardsPartitionTheProblems) {
  const std::string engine = scripted_engine(MATING_ENGINE);
  const std::string suite = write_file("suite.epd", seven_problems());
  struct Split {
    const char* limit;
    std::vector<std::vector<int>> shards;
  };
  const Split splits[] = {{"", {{1, 4, 7}, {2, 5}, {3, 6}}},
                          {"--first 6 ", {{1, 4}, {2, 5}, {3, 6}}},
                          {"--first 3 ", {{1}, {2}, {3}}},
                          {"--first 3 ", {{1}, {2}, {3}, {}}},
                          {"", {{1, 2, 3, 4, 5, 6, 7}}}};
  for (const Split& split : splits) {
    const int count = static_cast<int>(split.shards.size());
    for (int k = 1; k <= count; k++) {
      const std::string shard = std::to_string(k) + "/" + std::to_string(count);
      run("--engine " + engine + " --ms 60000 " + split.limit + "--shard " + shard + " --csv shard.csv " + suite);
      EXPECT_EQ(status_, 0) << shard;
      EXPECT_EQ(problem_numbers("shard.csv"), split.shards[k - 1]) << split.limit << shard;
      EXPECT_EQ(count_of(read_text("stderr.txt"), "line 3 skipped"), k == 1 ? 1u : 0u) << shard;
    }
  }
}

// The shards of one suite merged are that suite run whole: the summary's
// counts and the CSV's rows in the suite's order.
TEST_F(MateSuiteRun, MergedShardsAreOneRun) {
  const std::string engine = scripted_engine(MATING_ENGINE);
  const std::string suite = write_file("suite.epd", seven_problems());
  const std::string common = "--engine " + engine + " --ms 60000 ";
  const auto whole = run(common + "--csv whole.csv " + suite);
  run(common + "--shard 1/2 --csv one.csv " + suite);
  run(common + "--shard 2/2 --csv two.csv " + suite);
  const auto merged = run("--merge --csv merged.csv two.csv one.csv");
  EXPECT_EQ(status_, 0);
  EXPECT_EQ(untimed_summary(merged), untimed_summary(whole));
  EXPECT_EQ(untimed_rows("merged.csv"), untimed_rows("whole.csv"));
  EXPECT_EQ(untimed_rows("whole.csv").size(), 8u);
}

// Jobs share out the run's problems: each problem's result, the summary and
// the CSV are those of one job, also within a shard of a suite spread over
// machines. A skipped line is noted once.
TEST_F(MateSuiteRun, JobsGiveTheResultsOfOneJob) {
  const std::string engine = scripted_engine(MATING_ENGINE);
  const std::string suite = write_file("suite.epd", seven_problems());
  for (const char* part : {"", "--shard 2/2 ", "--first 5 --ucinewgame "}) {
    const std::string common = "--engine " + engine + " --ms 60000 " + part;
    const auto one = run(common + "--csv one.csv " + suite);
    const auto three = run(common + "--jobs 3 --csv three.csv " + suite);
    EXPECT_EQ(status_, 0) << part;
    EXPECT_EQ(count_of(read_text("stderr.txt"), "line 3 skipped"), std::string(part).find("--shard 2") == 0 ? 0u : 1u)
        << part;
    EXPECT_EQ(untimed_summary(three), untimed_summary(one)) << part;
    EXPECT_EQ(untimed_rows("three.csv"), untimed_rows("one.csv")) << part;
  }
}

// Copies that share a claim folder each take only what no other took.
TEST_F(MateSuiteRun, ClaimedProblemsAreTakenOnce) {
  const std::string engine = scripted_engine(MATING_ENGINE);
  const std::string suite = write_file("suite.epd", seven_problems());
  const std::string common = "--engine " + engine + " --claim " + dir_ + "/claims ";
  run(common + "--first 3 --csv first.csv " + suite);
  run(common + "--shard 2/2 --csv even.csv " + suite);
  run(common + "--csv rest.csv " + suite);
  EXPECT_EQ(problem_numbers("first.csv"), std::vector<int>({1, 2, 3}));
  EXPECT_EQ(problem_numbers("even.csv"), std::vector<int>({4, 6}));
  EXPECT_EQ(problem_numbers("rest.csv"), std::vector<int>({5, 7}));
}

TEST_F(MateSuiteRun, MergeRefusesOverlapsAndOtherFiles) {
  const std::string engine = scripted_engine(MATING_ENGINE);
  const std::string suite = write_file("suite.epd", seven_problems());
  run("--engine " + engine + " --shard 1/2 --csv one.csv " + suite);
  run("--engine " + engine + " --shard 1/3 --csv other.csv " + suite);
  const std::pair<std::string, const char*> cases[] = {{"one.csv other.csv", "problem 1 comes twice"},
                                                       {"one.csv suite.epd", "header differs"},
                                                       {"one.csv missing.csv", "missing.csv: cannot read"}};
  for (const auto& [files, note] : cases) {
    EXPECT_TRUE(run("--merge " + files).empty()) << files;
    EXPECT_EQ(status_, 2) << files;
    EXPECT_NE(read_text("stderr.txt").find(note), std::string::npos) << files;
  }
}

TEST_F(MateSuiteRun, FirstLimitsThePositions) {
  const std::string engine = scripted_engine(MATING_ENGINE);
  const std::string suite = write_file("suite.epd", std::string(NO_A1_ROOK) + " bm #2;\n" + LADDER + " bm #2;\n");
  EXPECT_EQ(result_counts(run("--engine " + engine + " --first 1 --ucinewgame " + suite)),
            "RESULT best=0/1 found=1 badpv=1");
  EXPECT_NE(read_file("engine.log").find("ucinewgame\nposition fen"), std::string::npos);
}

// With jobs, each engine dies at its first problem and the jobs take no
// more: the problems they leave are still in the summary and the CSV.
TEST_F(MateSuiteRun, AnEngineThatDiesLeavesTheRestNotFound) {
  const std::string engine = scripted_engine(DYING_ENGINE);
  const std::string suite = write_file("suite.epd", seven_problems());
  for (const char* jobs : {"", "--jobs 2 "}) {
    const auto lines = run("--engine " + engine + " " + jobs + "--csv out.csv " + suite);
    EXPECT_EQ(status_, 0) << jobs;
    ASSERT_FALSE(lines.empty()) << jobs;
    EXPECT_EQ(lines.back(), "RESULT best=0/7 found=0 badpv=0 median_ms=0 no_mate=0 no_mate_median_ms=0 several_keys=0")
        << jobs;
    EXPECT_EQ(problem_numbers("out.csv"), std::vector<int>({1, 2, 3, 4, 5, 6, 7})) << jobs;
  }
}

// Without --engine, a suite installed beside an engine named tervalk drives
// that one, whether it is started by its path or found through PATH.
TEST_F(MateSuiteRun, DrivesTheEngineInstalledBesideIt) {
  const std::string extension = std::filesystem::path(MATE_SUITE_PATH).extension().string();
  std::filesystem::copy_file(MATE_SUITE_PATH, dir_ + "/tervalk-mate-suite" + extension);
  std::filesystem::copy_file(scripted_engine(MATING_ENGINE), dir_ + "/tervalk" + extension);
  const std::string suite = write_file("suite.epd", std::string(LADDER) + " bm #2;\n");
  const char* old_path = std::getenv("PATH");
  const std::string saved_path = old_path != nullptr ? old_path : "";
#ifdef _WIN32
  _putenv_s("PATH", (dir_ + ";" + saved_path).c_str());
#else
  setenv("PATH", (dir_ + ":" + saved_path).c_str(), 1);
#endif
  for (const std::string& tool : {dir_ + "/tervalk-mate-suite" + extension, std::string("tervalk-mate-suite")}) {
    std::filesystem::remove(dir_ + "/engine.log");
    EXPECT_EQ(result_counts(run_tool(tool.c_str(), "--ms 60000 " + suite)), "RESULT best=1/1 found=1 badpv=0") << tool;
    EXPECT_NE(read_file("engine.log").find("go infinite"), std::string::npos) << tool;
  }
#ifdef _WIN32
  _putenv_s("PATH", saved_path.c_str());
#else
  setenv("PATH", saved_path.c_str(), 1);
#endif
}

TEST_F(MateSuiteRun, AMissingEngineIsAnError) {
  const std::string suite = write_file("suite.epd", std::string(LADDER) + " bm #2;\n" + LADDER + " bm #2;\n");
  for (const char* jobs : {"", "--jobs 2 "}) {
    const auto lines = run("--engine " + dir_ + "/no-such-engine " + jobs + suite);
    EXPECT_EQ(status_, 1) << jobs;
    EXPECT_TRUE(lines.empty()) << jobs;
  }
}

TEST_F(MateSuiteRun, BadArgumentsShowUsage) {
  for (const char* args : {"", "--ms 0 x.epd", "--first x.epd", "a.epd b.epd", "--bogus a.epd", "--merge"}) {
    run(args);
    EXPECT_EQ(status_, 2) << args;
  }
}

TEST_F(MateSuiteRun, BadShardsAndJobsAreRefused) {
  const std::string suite = write_file("suite.epd", std::string(LADDER) + " bm #2;\n");
  for (const char* shard : {"0/2", "3/2", "x", "1/0", "2", "1/2x", "/2", "-1/2", "1/-2", "99999999999/99999999999"}) {
    EXPECT_TRUE(run(std::string("--shard ") + shard + " " + suite).empty()) << shard;
    EXPECT_EQ(status_, 2) << shard;
    EXPECT_NE(read_text("stderr.txt").find("--shard " + std::string(shard) + ": wants K/M"), std::string::npos)
        << shard;
  }
  for (const char* jobs : {"0", "x", "1000", "2.5"}) {
    EXPECT_TRUE(run(std::string("--jobs ") + jobs + " " + suite).empty()) << jobs;
    EXPECT_EQ(status_, 2) << jobs;
    EXPECT_NE(read_text("stderr.txt").find("--jobs " + std::string(jobs) + ": wants"), std::string::npos) << jobs;
  }
}

}  // namespace
