// micro-bench: Google Benchmark timings of the engine's hot pieces (move
// generation, make/unmake, the attack test, move selection, the table probe,
// the proof-number solver) over a fixed set of positions. Every benchmark
// walks all its positions once per iteration, so its figures compare across
// builds of the engine.
//   micro-bench [--benchmark_filter=REGEX] [--benchmark_repetitions=N] ...
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "board.h"
#include "board/attacks.h"
#include "board/make_move.h"
#include "board/movegen.h"
#include "protocol/command_loop.h"
#include "protocol/game_setup.h"
#include "search/ordering.h"
#include "search/proof_search.h"
#include "search/proof_table.h"
#include "search/search.h"
#include "search/tt.h"
#include "search_state.h"

namespace {

// Openings, middlegames, endings and composed mates; some in check.
constexpr const char* fens[] = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -",
    "r1bq1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP1B1PPP/R2QKB1R w KQ -",
    "6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - -",
    "5K2/8/2qk4/2nPp3/3r4/6B1/B7/3R4 w - e6",
    "rn2N3/8/4R2b/B3R3/3kP1N1/K2n4/8/1q6 w - -",
    "2rB4/1b1n1pp1/pn4Rp/1Q2NB2/2pK1k1r/3RN1pr/4P3/8 w - -",
    "r1bqkbnr/pppp1Qpp/2n5/4p3/2B1P3/8/PPPP1PPP/RNB1K1NR b KQkq -",
    "4k3/8/8/8/8/8/4r3/R3K2R w KQ -",
};

void set_position(const char* fen) {
  char text[256];
  std::snprintf(text, sizeof(text), "setboard %s", fen);
  new_game();
  if (setup_fen(text) != 1) std::fprintf(stderr, "micro-bench: position refused: %s\n", fen);
  ply = 1;
  list_start[1] = 0;
  last_to_square = 255;
  hash_move = 0;
}

void prepare() {
  static bool ready = false;
  if (ready) return;
  ensure_engine_ready();
  reset_history();
  ready = true;
}

template <typename Body>
void over_positions(benchmark::State& state, Body body) {
  prepare();
  int64_t items = 0;
  for (auto _ : state) {
    for (const char* fen : fens) {
      state.PauseTiming();
      set_position(fen);
      state.ResumeTiming();
      items += body();
    }
  }
  state.SetItemsProcessed(items);
}

// Generation as the search does it: evasions when in check.
int generate_for_node(uint8_t side) {
  if (in_check(side))
    generate_evasions(side);
  else
    generate_moves(side);
  return list_start[ply + 1] - list_start[ply];
}

void BM_GenerateMoves(benchmark::State& state) {
  over_positions(state, [] {
    int n = 0;
    for (int k = 0; k < 64; k++) n += generate_for_node(side_to_move);
    benchmark::ClobberMemory();
    return n;
  });
}
BENCHMARK(BM_GenerateMoves);

void BM_GenerateCapturesAndChecks(benchmark::State& state) {
  over_positions(state, [] {
    int n = 0;
    for (int k = 0; k < 64; k++) {
      generate_captures_and_checks(side_to_move);
      n += list_start[ply + 1] - list_start[ply];
    }
    benchmark::ClobberMemory();
    return n;
  });
}
BENCHMARK(BM_GenerateCapturesAndChecks);

// Every pseudo-legal move made and taken back; with `legality`, tested in
// between as the searches do.
template <bool legality>
void BM_MakeUnmake(benchmark::State& state) {
  over_positions(state, [] {
    const uint8_t side = side_to_move;
    generate_moves(side);
    const int first = list_start[ply], last = list_start[ply + 1];
    int legal = 0;
    for (int k = 0; k < 16; k++)
      for (int i = first; i < last; i++) {
        make_move(side, move_stack[i]);
        if (legality) legal += square_attacked(piece_list[side][0], side ^ 1) == 0;
        unmake_move(side, move_stack[i]);
      }
    benchmark::DoNotOptimize(legal);
    benchmark::ClobberMemory();
    return 16 * (last - first);
  });
}
BENCHMARK(BM_MakeUnmake<false>);
BENCHMARK(BM_MakeUnmake<true>);

// Both sides' attacks on every square.
void BM_SquareAttacked(benchmark::State& state) {
  over_positions(state, [] {
    int hits = 0;
    for (int k = 0; k < 4; k++)
      for (int sq = 0; sq < SQUARE_COUNT; sq++)
        hits += square_attacked(sq, WHITE) + square_attacked(sq, BLACK);
    benchmark::DoNotOptimize(hits);
    return 4 * 2 * SQUARE_COUNT;
  });
}
BENCHMARK(BM_SquareAttacked);

// Selecting every move of a list in turn, as a node that searches them all.
void BM_PickBestMove(benchmark::State& state) {
  over_positions(state, [] {
    generate_moves(side_to_move);
    const int first = list_start[ply], last = list_start[ply + 1] - 1;
    // Spread the scores, as history and captures do in a search.
    for (int i = first; i <= last; i++) move_stack[i].score = static_cast<int16_t>((i * 7919) % 2000 - 1000);
    std::vector<Move> saved(move_stack + first, move_stack + last + 1);
    for (int k = 0; k < 16; k++) {
      std::memcpy(move_stack + first, saved.data(), saved.size() * sizeof(Move));
      for (int i = first; i <= last; i++) pick_best_move(i, last);
    }
    benchmark::ClobberMemory();
    return 16 * (last - first + 1);
  });
}
BENCHMARK(BM_PickBestMove);

// Keys of the positions two plies below each position, stored and probed.
std::vector<uint32_t> probe_keys;

void collect_keys(uint8_t side, int depth) {
  probe_keys.push_back(hash_key);
  probe_keys.push_back(hash_lock);
  if (depth == 0) return;
  generate_moves(side);
  const int first = list_start[ply], last = list_start[ply + 1];
  for (int i = first; i < last; i++) {
    const Move move = move_stack[i];
    make_move(side, move);
    ply++;
    collect_keys(side ^ 1, depth - 1);
    ply--;
    unmake_move(side, move);
  }
}

void BM_TableProbe(benchmark::State& state) {
  prepare();
  if (probe_keys.empty()) {
    for (const char* fen : fens) {
      set_position(fen);
      collect_keys(side_to_move, 2);
    }
    tt_clear();
    ply = 1;
    horizon[1] = 5;
    node_flags[1] = 0;
    for (size_t i = 0; i < probe_keys.size(); i += 4) {
      hash_key = probe_keys[i];
      hash_lock = probe_keys[i + 1];
      tt_store(WHITE, 10, TT_FROM_SEARCH, 12, 28, TT_EXACT);
    }
  }
  int64_t hits = 0;
  for (auto _ : state) {
    for (size_t i = 0; i < probe_keys.size(); i += 2) {
      hash_key = probe_keys[i];
      hash_lock = probe_keys[i + 1];
      const TtEntry* entry = tt_probe_slot(WHITE);
      if (entry != nullptr && tt_usable_main(*entry)) hits += tt_score_from_slot(*entry);
    }
  }
  benchmark::DoNotOptimize(hits);
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(probe_keys.size() / 2));
}
BENCHMARK(BM_TableProbe);

// Long composed mates: a budget of moves fixes the solver's work, so the
// rate of its moves compares across builds that search alike.
constexpr struct {
  const char* fen;
  int moves;
} solver_problems[] = {
    {"3b1bk1/p1p1p1p1/p1P1P1P1/p7/p7/8/PK6/8 w - -", 13},
    {"1K4kB/6P1/6P1/6p1/2r3P1/1RR5/B1P5/8 w - -", 13},
};
constexpr uint32_t SOLVER_MOVES = 1u << 20;

void BM_Solver(benchmark::State& state) {
  prepare();
  solver_table_allocate(SOLVER_HASH_DEFAULT);
  int64_t moves = 0;
  for (auto _ : state) {
    for (const auto& problem : solver_problems) {
      set_position(problem.fen);
      solver_table_clear();
      solver_start(side_to_move, problem.moves, 1);
      const uint32_t before = nodes;
      benchmark::DoNotOptimize(solver_run(SOLVER_MOVES, INT32_MAX));
      moves += nodes - before;
    }
  }
  state.SetItemsProcessed(moves);
}
BENCHMARK(BM_Solver)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
