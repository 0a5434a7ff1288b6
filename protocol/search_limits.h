// The limits of go that end a search when Obey_Limits is true: a fixed time
// (movetime), a node count (nodes), and an allotment from the clock
// (wtime, btime, winc, binc, movestogo).
#pragma once

#include <cstdint>

struct GoClock {
  bool given = false;        // wtime or btime was sent
  int32_t time[2] = {0, 0};  // ms left, by colour
  int32_t increment[2] = {0, 0};
  int32_t moves_to_go = 0;  // 0: not sent
};

// The ms a move may take of `left`, with `increment` added each move and
// `moves_to_go` moves to the next time control (0: unknown).
int32_t clock_allotment(int32_t left, int32_t increment, int32_t moves_to_go);

// Sets search_time_limit_ms and search_node_limit for the search `go`
// starts; with `obey` false there are none.
void set_search_limits(bool obey, int32_t movetime_ms, int32_t nodes, const GoClock& clock, uint8_t side);

// Whether the search has reached a limit, after `ms` from go with `nodes`
// counted over all threads.
bool search_limit_reached(int32_t ms, uint64_t nodes);
