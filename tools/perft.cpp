// perft: leaf counts of the legal move tree, to check move generation and
// make/unmake against known figures and to time them.
//   perft "<FEN>" <depth> [--divide]
//   perft --epd FILE [--depth N]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "board.h"
#include "protocol/command_loop.h"
#include "protocol/game_setup.h"
#include "search/ordering.h"
#include "tools/perft_count.h"

namespace {

constexpr int MAX_DEPTH = 20;
constexpr int LINE_SIZE = 1024;

int usage() {
  std::fprintf(stderr, "usage: perft \"<FEN>\" <depth> [--divide]\n       perft --epd FILE [--depth N]\n");
  return 2;
}

// Sets up the FEN as the position command would; false when it is refused.
bool set_position(const char* fen) {
  char text[LINE_SIZE + 16];
  std::snprintf(text, sizeof(text), "setboard %s", fen);
  new_game();
  if (setup_fen(text) != 1) return false;
  ply = 1;
  list_start[1] = 0;
  return true;
}

double seconds_since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

int run_single(const char* fen, int depth, bool divide) {
  if (!set_position(fen)) {
    std::fprintf(stderr, "perft: position refused: %s\n", fen);
    return 1;
  }
  const auto start = std::chrono::steady_clock::now();
  const uint64_t count = perft_count(side_to_move, depth, divide);
  const double secs = seconds_since(start);
  const uint64_t nps = secs > 0 ? static_cast<uint64_t>(static_cast<double>(count) / secs) : 0;
  std::printf("%llu nodes %llu nps\n", static_cast<unsigned long long>(count), static_cast<unsigned long long>(nps));
  return 0;
}

// One line: "FEN ;D1 n ;D2 n ...". Returns 1 when every listed depth up to
// max_depth matches, 0 otherwise (including unreadable lines).
int check_epd_line(char* line, int max_depth) {
  char* fields = std::strchr(line, ';');
  if (fields == nullptr) return 0;
  *fields++ = '\0';
  char* end = fields - 2;
  while (end >= line && (*end == ' ' || *end == '\t')) *end-- = '\0';
  if (!set_position(line)) {
    std::printf("refused: %s\n", line);
    return 0;
  }
  const uint8_t side = side_to_move;
  int ok = 1;
  for (char* field = std::strtok(fields, ";"); field != nullptr; field = std::strtok(nullptr, ";")) {
    int depth = 0;
    unsigned long long expected = 0;
    if (std::sscanf(field, " D%d %llu", &depth, &expected) != 2) continue;
    if (depth < 1 || depth > max_depth) continue;
    const uint64_t count = perft_count(side, depth);
    if (count != expected) {
      std::printf("mismatch: %s depth %d: expected %llu, got %llu\n", line, depth, expected,
                  static_cast<unsigned long long>(count));
      ok = 0;
    }
  }
  return ok;
}

int run_epd(const char* path, int max_depth) {
  std::FILE* file = std::fopen(path, "r");
  if (file == nullptr) {
    std::fprintf(stderr, "perft: cannot open %s\n", path);
    return 2;
  }
  static char line[LINE_SIZE];
  int passed = 0, failed = 0;
  const auto start = std::chrono::steady_clock::now();
  while (std::fgets(line, sizeof(line), file) != nullptr) {
    line[std::strcspn(line, "\r\n")] = '\0';
    if (line[0] == '\0' || line[0] == '#') continue;
    if (check_epd_line(line, max_depth))
      passed++;
    else
      failed++;
  }
  std::fclose(file);
  std::printf("%.1f s\n", seconds_since(start));
  std::printf("%d passed, %d failed\n", passed, failed);
  return failed == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return usage();
  ensure_engine_ready();
  reset_history();

  if (std::strcmp(argv[1], "--epd") == 0) {
    int max_depth = MAX_DEPTH;
    if (argc >= 5 && std::strcmp(argv[3], "--depth") == 0) max_depth = std::atoi(argv[4]);
    else if (argc != 3) return usage();
    return run_epd(argv[2], max_depth);
  }

  const int depth = std::atoi(argv[2]);
  const bool divide = argc >= 4 && std::strcmp(argv[3], "--divide") == 0;
  if (depth < 1 || depth > MAX_DEPTH || (argc >= 4 && !divide)) return usage();
  return run_single(argv[1], depth, divide);
}
