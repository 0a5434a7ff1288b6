// The mate suite's CSV rows: what one run writes, a merge must read back
// whole, and a damaged row must be refused rather than miscounted.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tools/scratch_dir.h"
#include "tools/suite_results.h"

namespace {

std::string csv_of(const std::vector<ProblemResult>& rows) {
  const std::string dir = make_scratch_dir("tervalk-results-");
  const std::string path = dir + "/rows.csv";
  std::FILE* csv = std::fopen(path.c_str(), "wb");
  EXPECT_NE(csv, nullptr);
  if (csv == nullptr) return "";
  std::fprintf(csv, "%s\n", RESULT_CSV_HEADER);
  for (const ProblemResult& row : rows) write_result_row(csv, row);
  std::fclose(csv);
  std::stringstream text;
  text << std::ifstream(path, std::ios::binary).rdbuf();
  std::filesystem::remove_all(dir);
  return text.str();
}

ProblemResult solved_row() {
  ProblemResult row;
  row.number = 17;
  row.fen = "6k1/8/8/8/8/8/1R6/R3K3 w - -";
  row.known = 2;
  row.found_mate = 2;
  row.best = true;
  row.ms_to_best = 35;
  row.has_nodes = true;
  row.nodes = 12345678901ULL;
  row.ms_used = 36;
  row.nps_sum = 9000000000ULL;
  row.nps_lines = 3;
  row.budget_ms = 1000;
  row.engine = "Engine \"X\", 2.0";
  row.asked = 2;
  return row;
}

// Nothing found, no nodes: the empty fields stand for "none".
ProblemResult unsolved_row() {
  ProblemResult row;
  row.number = 3;
  row.fen = "6k1/8/8/8/8/8/1R6/1R2K3 w - -";
  row.known = 13;
  row.badpv = true;
  row.ms_used = 1002;
  row.budget_ms = 1000;
  row.engine = "";
  row.asked = 12;
  row.no_mate = true;
  return row;
}

void expect_same(const ProblemResult& a, const ProblemResult& b) {
  EXPECT_EQ(a.number, b.number);
  EXPECT_EQ(a.fen, b.fen);
  EXPECT_EQ(a.known, b.known);
  EXPECT_EQ(a.found_mate, b.found_mate);
  EXPECT_EQ(a.best, b.best);
  EXPECT_EQ(a.badpv, b.badpv);
  EXPECT_EQ(a.ms_to_best, b.ms_to_best);
  EXPECT_EQ(a.has_nodes, b.has_nodes);
  EXPECT_EQ(a.nodes, b.nodes);
  EXPECT_EQ(a.ms_used, b.ms_used);
  EXPECT_EQ(a.nps_sum, b.nps_sum);
  EXPECT_EQ(a.nps_lines, b.nps_lines);
  EXPECT_EQ(a.budget_ms, b.budget_ms);
  EXPECT_EQ(a.engine, b.engine);
  EXPECT_EQ(a.asked, b.asked);
  EXPECT_EQ(a.no_mate, b.no_mate);
  EXPECT_EQ(a.keys, b.keys);
}

TEST(SuiteResults, RowsReadBackAsWritten) {
  const std::vector<ProblemResult> written = {solved_row(), unsolved_row()};
  const std::string text = csv_of(written);
  EXPECT_NE(text.find("\n3,6k1/8/8/8/8/8/1R6/1R2K3 w - -,13,,0,1,,,1002,0,0,1000,\"\",12,1,0\n"), std::string::npos)
      << text;
  std::vector<ProblemResult> read;
  std::string error;
  ASSERT_TRUE(read_result_rows(text, &read, &error)) << error;
  ASSERT_EQ(read.size(), 2u);
  for (size_t i = 0; i < read.size(); i++) expect_same(read[i], written[i]);
}

TEST(SuiteResults, DamagedRowsAreRefused) {
  const std::string header = std::string(RESULT_CSV_HEADER) + "\n";
  const std::string fen = "6k1/8/8/8/8/8/1R6/R3K3 w - -";
  const std::pair<const char*, std::string> cases[] = {
      {"another header", "index,fen,known\n1," + fen + ",2\n"},
      {"a column short", header + "1," + fen + ",2,2,1,0,5,100,6,0,0,1000,\"E\",2\n"},
      {"a column more", header + "1," + fen + ",2,2,1,0,5,100,6,0,0,1000,\"E\",2,0,1,x\n"},
      {"unclosed quote", header + "1," + fen + ",2,2,1,0,5,100,6,0,0,1000,\"E,2,0,1\n"},
      {"problem 0", header + "0," + fen + ",2,2,1,0,5,100,6,0,0,1000,\"E\",2,0,1\n"},
      {"no known distance", header + "1," + fen + ",,2,1,0,5,100,6,0,0,1000,\"E\",2,0,1\n"},
      {"negative time", header + "1," + fen + ",2,2,1,0,-5,100,6,0,0,1000,\"E\",2,0,1\n"},
      {"best without its time", header + "1," + fen + ",2,2,1,0,,100,6,0,0,1000,\"E\",2,0,1\n"},
      {"a time without best", header + "1," + fen + ",2,2,0,0,5,100,6,0,0,1000,\"E\",2,0,1\n"},
      {"best neither 0 nor 1", header + "1," + fen + ",2,2,2,0,5,100,6,0,0,1000,\"E\",2,0,1\n"},
      {"text for a number", header + "1," + fen + ",2,2,1,0,5,lots,6,0,0,1000,\"E\",2,0,1\n"},
      {"no_mate neither 0 nor 1", header + "1," + fen + ",2,2,1,0,5,100,6,0,0,1000,\"E\",2,x,1\n"},
      {"the older header, the newer columns", "index,fen,known,found_mate,best,badpv,ms_to_best,nodes,ms_used,nps_sum,"
                                              "nps_lines,budget_ms,engine\n1," + fen + ",2,2,1,0,5,100,6,0,0,1000,\"E\",2,0\n"},
      {"a number too large", header + "99999999999," + fen + ",2,2,1,0,5,100,6,0,0,1000,\"E\",2,0,1\n"},
  };
  for (const auto& [name, text] : cases) {
    std::vector<ProblemResult> rows;
    std::string error;
    EXPECT_FALSE(read_result_rows(text, &rows, &error)) << name;
    EXPECT_FALSE(error.empty()) << name;
  }
}

// Lines ended by CR LF, as on Windows, and blank lines read as well.
TEST(SuiteResults, CarriageReturnsAndBlankLinesAreNoRows) {
  const std::string text = std::string(RESULT_CSV_HEADER) +
                           "\r\n1,6k1/8/8/8/8/8/1R6/R3K3 w - -,2,2,1,0,5,100,6,0,0,1000,\"E\",2,0,1\r\n\r\n";
  std::vector<ProblemResult> rows;
  std::string error;
  ASSERT_TRUE(read_result_rows(text, &rows, &error)) << error;
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].engine, "E");
}

// Files written before the columns asked and no_mate, or before keys, still
// merge: the distance asked was the stated one, and what a file has no
// column for was never counted.
TEST(SuiteResults, OlderHeadersReadAsTheirColumnsSay) {
  const std::string older =
      "index,fen,known,found_mate,best,badpv,ms_to_best,nodes,ms_used,nps_sum,nps_lines,budget_ms,engine";
  const std::string row = "1,6k1/8/8/8/8/8/1R6/R3K3 w - -,5,,0,0,,100,6,0,0,1000,\"E\"";
  const struct {
    std::string text;
    int asked;
    bool no_mate;
  } cases[] = {
      {older + "\n" + row + "\n", 5, false},
      {older + ",asked,no_mate\n" + row + ",4,1\n", 4, true},
  };
  for (const auto& c : cases) {
    std::vector<ProblemResult> rows;
    std::string error;
    ASSERT_TRUE(read_result_rows(c.text, &rows, &error)) << error << c.text;
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].asked, c.asked);
    EXPECT_EQ(rows[0].no_mate, c.no_mate);
    EXPECT_EQ(rows[0].keys, 0);
  }
}

TEST(SuiteResults, AbsencesAreCountedWithTheirTimes) {
  std::vector<ProblemResult> rows = {solved_row(), unsolved_row(), unsolved_row()};
  rows[2].known = 3;
  rows[2].ms_used = 40;
  const Tally all = tally_results(rows, 1, 1000);
  EXPECT_EQ(all.no_mate, 2);
  EXPECT_EQ(all.no_mate_ms, std::vector<long>({1002, 40}));
  EXPECT_EQ(tally_results(rows, 13, 13).no_mate, 1);
}

TEST(SuiteResults, ProblemsWithSeveralKeysAreCounted) {
  std::vector<ProblemResult> rows = {solved_row(), solved_row(), unsolved_row()};
  rows[0].keys = 1;
  rows[1].keys = 3;
  EXPECT_EQ(tally_results(rows, 1, 1000).several_keys, 1);
}

}  // namespace
