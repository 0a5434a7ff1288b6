// The info lines a GUI reads during a search: exact text and figures.
#include <gtest/gtest.h>

#include <string>

#include "protocol/command_loop.h"
#include "protocol/search_info.h"
#include "search/pv.h"
#include "search/tt.h"
#include "search_state.h"
#include "settings.h"

namespace {

uint16_t key(const char* coordinates) {
  auto square = [](const char* s) { return (s[0] - 'a') + 8 * (s[1] - '1'); };
  return move_key(square(coordinates), square(coordinates + 2));
}

void set_line(uint16_t* moves, std::initializer_list<const char*> texts) {
  int i = 1;
  for (const char* t : texts) moves[i++] = key(t);
  moves[i] = 0;
}

class SearchInfo : public testing::Test {
 protected:
  void SetUp() override {
    ensure_engine_ready();
    saved_mask_ = hash_mask;
    hash_mask = 0x7FFFF;  // two tables of 524288 slots
    reported_depth = 6;
    seldepth = 11;
    elapsed = 153;
    nodes = 406172;
    tt_used = 12583;
    multipv_lines = 1;
    for (auto& f : pv_flags) f = 0;
    set_line(pv_line, {"f3f7", "e8d7", "c4e6", "d7e8", "f7f8"});
  }
  void TearDown() override {
    hash_mask = saved_mask_;
    multipv_lines = 1;
    tt_used = 0;
  }
  static std::string capture(void (*print)()) {
    testing::internal::CaptureStdout();
    print();
    return testing::internal::GetCapturedStdout();
  }
  uint32_t saved_mask_ = 0;
};

TEST(MateDistance, CountsMovesFromTheRootScore) {
  const std::pair<int16_t, int> cases[] = {{9998, 1}, {9997, 2}, {9996, 2}, {9990, 5},
                                           {-9998, -1}, {-9999, -1}, {-9992, -4}, {9001, 500}};
  for (auto [score, moves] : cases) EXPECT_EQ(mate_distance(score), moves) << score;
}

TEST_F(SearchInfo, SingleLineMate) {
  std::string out = capture([] { report_search(0, 0, 1, 20, 9994, pv_line, 1); });
  EXPECT_EQ(out,
            "info depth 6 seldepth 11 time 1530 nodes 812344 nps 530900 hashfull 12 score mate 3 pv f3f7 e8d7 "
            "c4e6 d7e8 f7f8\n");
}

TEST_F(SearchInfo, NoLineForScoresBelowMate) {
  EXPECT_EQ(capture([] { report_search(0, 0, 1, 20, 8999, pv_line, 1); }), "");
  EXPECT_EQ(capture([] { report_search(0, 0, 1, 20, -9998, pv_line, 1); }), "");
}

TEST_F(SearchInfo, MultiPvLinesCarryScoresAndTwoBlanksAfterPv) {
  multipv_lines = 3;
  multipv_records[1].score = 120;
  set_line(multipv_records[1].moves, {"f3d5", "c6d8"});
  multipv_records[2].score = -9992;
  set_line(multipv_records[2].moves, {"f3e2", "d8h4"});
  std::string out = capture([] { report_search(0, 0, 1, 20, 9994, pv_line, 1); });
  EXPECT_EQ(out,
            "info depth 6 seldepth 11 time 1530 nodes 812344 nps 530900 hashfull 12 score mate 3 multipv 1 pv "
            "f3f7 e8d7 c4e6 d7e8 f7f8\n"
            "info  multipv 2 score cp 120 pv  f3d5 c6d8\n"
            "info  multipv 3 score mate -4 pv  f3e2 d8h4\n");
  multipv_records[1].score = 8999;
  multipv_records[2].score = -9998;
  out = capture([] { report_search(0, 0, 1, 20, 9998, pv_line, 1); });
  EXPECT_NE(out.find("multipv 2 score cp 8999 pv"), std::string::npos) << out;
  EXPECT_NE(out.find("multipv 3 score mate -1 pv"), std::string::npos) << out;
}

TEST_F(SearchInfo, MultiPvAtDepthOneUsesTheSingleLine) {
  multipv_lines = 3;
  reported_depth = 1;
  seldepth = 0;
  std::string out = capture([] { report_search(0, 0, 1, 20, 9998, pv_line, 1); });
  EXPECT_EQ(out.rfind("info depth 1 seldepth 1 ", 0), 0u) << out;
  EXPECT_EQ(out.find("multipv"), std::string::npos) << out;
}

TEST_F(SearchInfo, PromotionLetterInPvButNotInCurrmove) {
  set_line(pv_line, {"e7e8"});
  pv_flags[1] = 0x08 | 5;  // queen promotion
  elapsed = 0;
  std::string out = capture([] { report_search(0, 0, 1, 20, 9998, pv_line, 1); });
  EXPECT_NE(out.find(" nps 0 "), std::string::npos) << out;
  EXPECT_NE(out.find("pv e7e8q\n"), std::string::npos) << out;
  elapsed = 101;
  out = capture([] { report_currmove(52, 60, 3); });
  EXPECT_EQ(out, "info currmove e7e8 currmovenumber 3 depth 6 seldepth 11 nodes 812344 nps 804300 hashfull 12\n");
}

TEST_F(SearchInfo, CurrmoveWaitsForTheFirstSecond) {
  elapsed = 100;
  EXPECT_EQ(capture([] { report_currmove(12, 28, 1); }), "");
}

TEST_F(SearchInfo, HashfullDoesNotOverflowOnLargeTables) {
  hash_mask = 0xFFFFFF;
  tt_used = 30000000;  // most of the 33554432 slots of both tables
  std::string out = capture([] { report_search(0, 0, 1, 20, 9998, pv_line, 1); });
  EXPECT_NE(out.find(" hashfull 894 "), std::string::npos) << out;
}

}  // namespace
