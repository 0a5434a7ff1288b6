// make-book: builds an opening book pair for the engine from PGN games.
//   make-book --out BASE [--plies N] [--min-games K] GAMES.pgn...
// Every position after ply 1..N (default 40) of each finished game is keyed
// by its hash_lock and gets the game's result and the players' ratings
// (2000 for a player without an Elo tag). Positions of fewer than K games
// (default 1) are left out. Writes BASE.ind and BASE.dat; "-" reads
// standard input. Games counted: those with a result that put at least one
// position into the table.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "protocol/command_loop.h"
#include "types.h"
#include "tools/book_replay.h"
#include "tools/book_table.h"
#include "tools/pgn_reader.h"

namespace {

constexpr int MAX_INPUTS = 1024;

struct Arguments {
  const char* out = nullptr;
  long plies = BOOK_DEFAULT_PLIES;
  long min_games = 1;
  const char* inputs[MAX_INPUTS];
  int input_count = 0;
};

PgnGame game;  // large: kept out of the stack

int usage() {
  std::fputs("usage: make-book --out BASE [--plies N] [--min-games K] GAMES.pgn...\n", stderr);
  return 1;
}

bool read_count(const char* text, long low, long high, long* value) {
  char* end = nullptr;
  errno = 0;
  const long v = std::strtol(text, &end, 10);
  if (errno != 0 || end == text || *end != '\0' || v < low || v > high) return false;
  *value = v;
  return true;
}

bool parse_arguments(int argc, char** argv, Arguments* args) {
  for (int i = 1; i < argc; i++) {
    const char* a = argv[i];
    const bool has_value = i + 1 < argc;
    if (std::strcmp(a, "--out") == 0 && has_value) {
      args->out = argv[++i];
    } else if (std::strcmp(a, "--plies") == 0 && has_value) {
      if (!read_count(argv[++i], 1, MAX_GAME_MOVES, &args->plies)) return false;
    } else if (std::strcmp(a, "--min-games") == 0 && has_value) {
      if (!read_count(argv[++i], 1, 2147483647L, &args->min_games)) return false;
    } else if (a[0] == '-' && a[1] != '\0') {
      return false;
    } else {
      if (args->input_count == MAX_INPUTS) return false;
      args->inputs[args->input_count++] = a;
    }
  }
  return args->out != nullptr && args->input_count > 0;
}

}  // namespace

int main(int argc, char** argv) {
  Arguments args;
  if (!parse_arguments(argc, argv, &args)) return usage();

  ensure_engine_ready();
  book_table_clear();
  int status = 0;
  long games = 0;
  long unfinished = 0;
  for (int f = 0; f < args.input_count; f++) {
    const char* name = args.inputs[f];
    const bool from_stdin = std::strcmp(name, "-") == 0;
    std::FILE* file = from_stdin ? stdin : std::fopen(name, "rb");
    if (file == nullptr) {
      std::fprintf(stderr, "make-book: cannot open %s: %s\n", name, std::strerror(errno));
      status = 1;
      continue;
    }
    PgnInput input;
    pgn_open_file(&input, file);
    long number = 0;
    while (read_pgn_game(&input, &game)) {
      number++;
      if (game.result == RESULT_NONE) {
        unfinished++;
        continue;
      }
      if (add_game_to_book(game, static_cast<int>(args.plies), name, number, stderr) > 0) games++;
    }
    if (std::ferror(file)) {
      std::fprintf(stderr, "make-book: error reading %s\n", name);
      status = 1;
    }
    if (!from_stdin) std::fclose(file);
  }

  if (book_table_dropped() > 0)
    std::fprintf(stderr, "make-book: table full at %d positions; %ld new positions not counted\n",
                 book_table_size(), book_table_dropped());
  if (unfinished > 0) std::printf("%ld games without a result not counted\n", unfinished);
  const long written = write_book(args.out, static_cast<uint32_t>(args.min_games));
  if (written < 0) {
    std::fprintf(stderr, "make-book: cannot write %s.ind / %s.dat: %s\n", args.out, args.out, std::strerror(errno));
    return 1;
  }
  std::printf("%ld games, %ld positions written\n", games, written);
  return status;
}
