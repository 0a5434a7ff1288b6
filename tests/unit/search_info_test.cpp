// The info lines a GUI reads during a search: exact text and figures.
#include <gtest/gtest.h>

#include <string>

#include "driver/shown_line.h"
#include "protocol/command_loop.h"
#include "protocol/search_info.h"
#include "search/pv.h"
#include "search/tt.h"
#include "search_control.h"
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

// The line the tests print; captureless lambdas read it.
ShownLine best;

void set_best(int16_t score, uint8_t kind, std::initializer_list<const char*> texts) {
  set_line(best.moves, texts);
  for (auto& f : best.flags) f = 0;
  best.score = score;
  best.kind = kind;
}

void print_best() { report_search(best); }

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
    set_best(9994, SHOWN_EXACT, {"f3f7", "e8d7", "c4e6", "d7e8", "f7f8"});
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
  EXPECT_EQ(capture(print_best),
            "info depth 6 seldepth 11 time 1530 nodes 812344 nps 530900 hashfull 12 score mate 3 pv f3f7 e8d7 "
            "c4e6 d7e8 f7f8\n");
}

TEST_F(SearchInfo, NoLineForScoresBelowMateNorForARefutedClaim) {
  const std::pair<int16_t, uint8_t> silent[] = {{8999, SHOWN_EXACT}, {-9998, SHOWN_EXACT}, {9994, SHOWN_NONE}};
  for (auto [score, kind] : silent) {
    set_best(score, kind, {"f3f7"});
    EXPECT_EQ(capture(print_best), "") << score;
  }
}

TEST_F(SearchInfo, BoundsAreNamedAfterTheScore) {
  set_best(9994, SHOWN_LOWER, {"f3f7"});
  EXPECT_NE(capture(print_best).find(" score mate 3 lowerbound pv f3f7\n"), std::string::npos);
  set_best(9990, SHOWN_UPPER, {"f3f7"});
  EXPECT_NE(capture(print_best).find(" score mate 5 upperbound pv f3f7\n"), std::string::npos);
}

TEST_F(SearchInfo, MultiPvLinesCarryScoresAndOneBlankBetweenWords) {
  multipv_lines = 4;
  multipv_records[1].score = 120;
  set_line(multipv_records[1].moves, {"f3d5", "c6d8"});
  multipv_records[2].score = -9992;
  set_line(multipv_records[2].moves, {"f3e2", "d8h4"});
  multipv_records[2].shown.kind = SHOWN_EXACT;  // being mated, proven
  // A mate for the side to move prints its own proven line, not the table's.
  multipv_records[3].score = 9994;
  set_line(multipv_records[3].moves, {"f3f6"});
  multipv_records[3].shown = best;
  set_line(multipv_records[3].shown.moves, {"f3f6", "e8d7", "f6f7", "d7d6", "f7e7"});
  std::string out = capture(print_best);
  EXPECT_EQ(out,
            "info depth 6 seldepth 11 time 1530 nodes 812344 nps 530900 hashfull 12 score mate 3 multipv 1 pv "
            "f3f7 e8d7 c4e6 d7e8 f7f8\n"
            "info multipv 2 score cp 120 pv f3d5 c6d8\n"
            "info multipv 3 score mate -4 pv f3e2 d8h4\n"
            "info multipv 4 score mate 3 pv f3f6 e8d7 f6f7 d7d6 f7e7\n");
  multipv_records[1].score = 8999;
  multipv_records[2].score = -9998;
  multipv_records[3].shown.kind = SHOWN_NONE;  // refuted: not shown at all
  set_best(9998, SHOWN_EXACT, {"f3f7"});
  out = capture(print_best);
  EXPECT_NE(out.find("multipv 2 score cp 8999 pv"), std::string::npos) << out;
  EXPECT_NE(out.find("multipv 3 score mate -1 pv"), std::string::npos) << out;
  EXPECT_EQ(out.find("multipv 4"), std::string::npos) << out;
  // Being mated, as the search says but the board could not confirm: a bound.
  multipv_records[2].score = -9992;
  shown_root_move(Move{static_cast<int8_t>(21), static_cast<int8_t>(12), 0, QUIET}, -9992, SHOWN_LOWER,
                  &multipv_records[2].shown);
  out = capture(print_best);
  EXPECT_NE(out.find("multipv 3 score mate -4 lowerbound pv f3e2\n"), std::string::npos) << out;
}

// "No mate in N" contradicts a mate within N shown in the same search: it
// is never said after one; a longer mate leaves it standing.
TEST_F(SearchInfo, NoMateIsNotSaidAfterAMateWithinIt) {
  report_new_search();
  set_best(9994, SHOWN_EXACT, {"f3f7"});  // mate in 3
  capture(print_best);
  auto no_mate_in = [](int moves) {
    testing::internal::CaptureStdout();
    report_no_mate(moves);
    return testing::internal::GetCapturedStdout();
  };
  EXPECT_EQ(no_mate_in(3), "");
  EXPECT_EQ(no_mate_in(5), "");
  EXPECT_EQ(no_mate_in(2), "info string no mate in 2\n");
  report_new_search();
  EXPECT_EQ(no_mate_in(3), "info string no mate in 3\n");
  set_best(9994, SHOWN_LOWER, {"f3f7"});  // a bound is no mate shown
  capture(print_best);
  EXPECT_EQ(no_mate_in(3), "info string no mate in 3\n");
}

TEST_F(SearchInfo, MultiPvAtDepthOneUsesTheSingleLine) {
  multipv_lines = 3;
  reported_depth = 1;
  seldepth = 0;
  best.score = 9998;
  std::string out = capture(print_best);
  EXPECT_EQ(out.rfind("info depth 1 seldepth 1 ", 0), 0u) << out;
  EXPECT_EQ(out.find("multipv"), std::string::npos) << out;
}

TEST_F(SearchInfo, PromotionLetterInPvButNotInCurrmove) {
  set_best(9998, SHOWN_EXACT, {"e7e8"});
  best.flags[1] = 0x08 | 5;  // queen promotion
  elapsed = 0;
  std::string out = capture(print_best);
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
  best.score = 9998;
  std::string out = capture(print_best);
  EXPECT_NE(out.find(" hashfull 894 "), std::string::npos) << out;
}

}  // namespace
