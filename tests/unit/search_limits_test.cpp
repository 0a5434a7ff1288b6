// The limits of go with Obey_Limits: what each go line allots, and that the
// clock's share never comes near the flag.
#include <gtest/gtest.h>

#include "board.h"
#include "protocol/command_loop.h"
#include "protocol/search_limits.h"
#include "settings.h"

namespace {

struct Limits {
  const char* go;
  bool obey;
  int32_t least_ms, most_ms;  // the time limit set; 0 for none
  uint32_t nodes;
  uint8_t mode;
};

TEST(SearchLimits, GoLinesSetTheLimitsOnlyWhenObeyed) {
  const Limits cases[] = {
      // Most of the movetime, not all of it: the answer has to reach the GUI.
      {"go movetime 500", true, 400, 499, 0, TM_MOVETIME},
      {"go movetime 500", false, 0, 0, 0, TM_MOVETIME},
      {"go nodes 100000", true, 0, 0, 100000, TM_MOVETIME},  // ends by itself: bestmove does not wait
      {"go nodes 100000", false, 0, 0, 0, TM_INFINITE},
      {"go infinite movetime 500", true, 0, 0, 0, TM_MOVETIME},  // infinite: no limit
      {"go mate 3 movetime 2000", true, 1900, 1999, 0, TM_MOVETIME},
      // White to move: a share of White's clock (Black's would be more than
      // White has).
      {"go wtime 1000 btime 100000 winc 100 binc 100", true, 1, 500, 0, TM_CLOCK},
      {"go wtime 1000 btime 9000 movestogo 2 movetime 300", true, 200, 299, 0, TM_MOVETIME},
      // Next to no time left is still a limit, and a short one.
      {"go wtime 40 btime 40", true, 1, 20, 0, TM_CLOCK},
      {"go wtime -500 btime 1000 movetime", true, 1, 20, 0, TM_MOVETIME},
  };
  for (const Limits& c : cases) {
    side_to_move = WHITE;
    obey_limits = c.obey ? 1 : 0;
    read_go_limits(c.go);
    EXPECT_GE(search_time_limit_ms, c.least_ms) << c.go << " " << c.obey;
    EXPECT_LE(search_time_limit_ms, c.most_ms) << c.go << " " << c.obey;
    EXPECT_EQ(search_node_limit, c.nodes) << c.go << " " << c.obey;
    EXPECT_EQ(time_mode, c.mode) << c.go << " " << c.obey;
    pondering = 0;
  }
  obey_limits = 0;
}

// The share keeps at least half of the clock for the moves to come, yet is
// always a limit; more time left, a larger increment or fewer moves to go
// never give less (the last move to the time control gets the most), and
// with the game ahead the increment is spent.
TEST(SearchLimits, TheClocksShareLeavesTimeForTheMovesToCome) {
  for (int32_t left : {0, 50, 100, 1000, 60000, 3600000})
    for (int32_t increment : {0, 100, 2000})
      for (int32_t to_go : {0, 1, 2, 40}) {
        const int32_t share = clock_allotment(left, increment, to_go);
        EXPECT_GE(share, 1);
        if (left >= 100) {
          EXPECT_LE(share, left / 2) << left << " " << increment << " " << to_go;
        }
        EXPECT_GE(share, clock_allotment(left / 2, increment, to_go)) << left << " " << increment << " " << to_go;
        EXPECT_GE(share, clock_allotment(left, increment / 2, to_go)) << left << " " << increment << " " << to_go;
        EXPECT_GE(clock_allotment(left, increment, 1), share) << left << " " << increment << " " << to_go;
      }
  EXPECT_GT(clock_allotment(60000, 2000, 0), clock_allotment(60000, 0, 0));
}

TEST(SearchLimits, ALimitIsReachedByTimeOrByNodes) {
  search_time_limit_ms = 470;
  search_node_limit = 0;
  EXPECT_FALSE(search_limit_reached(460, 1u << 30));
  EXPECT_TRUE(search_limit_reached(470, 0));
  search_time_limit_ms = 0;
  search_node_limit = 100000;
  EXPECT_FALSE(search_limit_reached(1 << 30, 99999));
  EXPECT_TRUE(search_limit_reached(0, 100000));
  search_node_limit = 0;
  EXPECT_FALSE(search_limit_reached(1 << 30, uint64_t{1} << 40));
}

}  // namespace
