// bench: searches a fixed set of positions to a fixed depth inside the
// engine and prints the total node count, the engine's behaviour signature.
// A change meant only for speed or structure keeps the count.
//   bench [--depth-offset N]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "board.h"
#include "driver/book.h"
#include "driver/root_search.h"
#include "protocol/command_loop.h"
#include "protocol/game_setup.h"
#include "search/tt.h"
#include "search_state.h"
#include "settings.h"
#include "tools/std_streams.h"

namespace {

struct BenchPosition {
  const char* fen;
  int depth;
};

// Openings, middlegames and mate problems of a few moves.
constexpr BenchPosition positions[] = {
    {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -", 13},
    {"r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq -", 13},
    {"r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -", 13},
    {"r1bq1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP1B1PPP/R2QKB1R w KQ -", 13},
    {"6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - -", 15},
    {"5K2/8/2qk4/2nPp3/3r4/6B1/B7/3R4 w - e6", 13},
    {"5R2/1N3p2/3pk3/6PR/3Q4/B3K3/8/8 w - -", 15},
    {"rn2N3/8/4R2b/B3R3/3kP1N1/K2n4/8/1q6 w - -", 15},
    {"1r5k/4NP1b/7K/8/6R1/8/8/8 w - -", 15},
    {"2rB4/1b1n1pp1/pn4Rp/1Q2NB2/2pK1k1r/3RN1pr/4P3/8 w - -", 15},
};

}  // namespace

int main(int argc, char** argv) {
  int depth_offset = 0;
  if (argc == 3 && std::strcmp(argv[1], "--depth-offset") == 0) depth_offset = std::atoi(argv[2]);

  // The search polls standard input; give it one that never speaks.
  stdin_from_pipe("");
  ensure_engine_ready();
  book_close();
  use_engine_book = 0;

  // Engine output goes nowhere; the summary goes to the real stdout.
  std::FILE* out = stdout_to_null();
  if (out == nullptr) return 1;

  uint64_t total_nodes = 0;
  const auto start = std::chrono::steady_clock::now();
  for (const BenchPosition& p : positions) {
    char text[256];
    std::snprintf(text, sizeof(text), "setboard %s", p.fen);
    new_game();
    tt_clear();
    if (setup_fen(text) != 1) {
      std::fprintf(out, "refused: %s\n", p.fen);
      continue;
    }
    read_go_limits("go depth 0");
    depth_limit = static_cast<uint8_t>(p.depth + depth_offset);
    root_search(side_to_move);
    std::fflush(stdout);
    total_nodes += nodes;
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::fflush(stdout);
  std::fprintf(out, "Nodes searched: %llu\n", static_cast<unsigned long long>(total_nodes));
  std::fprintf(out, "Nodes/second: %llu\n",
               static_cast<unsigned long long>(seconds > 0 ? static_cast<double>(total_nodes) / seconds : 0));
  return 0;
}
