// The shared set-up of the fuzz targets.
#include "fuzz_engine.h"

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "board.h"
#include "board/attacks.h"
#include "board/position_check.h"
#include "driver/book.h"
#include "driver/learn_file.h"
#include "driver/root_search.h"
#include "driver/shown_line.h"
#include "fuzz_input.h"
#include "protocol/command_loop.h"
#include "protocol/game_setup.h"
#include "protocol/input.h"
#include "protocol/options.h"
#include "protocol/poll.h"
#include "search/tables.h"
#include "search_state.h"
#include "settings.h"
#include "search/hash_tables.h"
#include "search/proof_table.h"

namespace {

char work_dir[] = "/tmp/tervalk-fuzz-XXXXXX";

void remove_work_dir() { std::filesystem::remove_all(work_dir); }

void start_engine() {
  // Book and learning files are written here, never where the fuzzer runs.
  if (mkdtemp(work_dir) == nullptr || chdir(work_dir) != 0) fuzz_fail("no working directory");
  std::atexit(remove_work_dir);
  if (std::freopen("/dev/null", "w", stdout) == nullptr) fuzz_fail("no /dev/null");
  hash_megabytes = MIN_HASH_MEGABYTES;
  fuzz_input_set(nullptr, 0);
  ensure_engine_ready();
}

}  // namespace

void fuzz_new_input(bool searches) {
  static bool started = false;
  if (!started) {
    started = true;
    start_engine();
  }
  learn_switch_off();
  std::remove(LEARN_FILE_NAME);
  book_close();

  // The values start-up and the first isready give.
  use_engine_book = 0;
  new_ponder = 0;
  multipv_lines = 1;
  multipv_exact = 1;
  contempt = 0;
  matt_in = 15;
  chess_knowledge = 1;
  zugzwang_safe = 0;
  mate_solver = 0;
  thread_count = 1;
  obey_limits = 0;
  // Tables an input opened are closed, so that inputs replay alike.
  if (gaviota_tb_path[0] != '\0' || tables_men != 0) tables_close();
  gaviota_tb_path[0] = '\0';
  gaviota_tb_cache = TB_CACHE_DEFAULT;
  pondering = 0;
  go_mate_moves = 0;
  depth_limit = 98;
  time_mode = TM_CLOCK;
  quit_requested = 0;
  ponderhit_restart = 0;
  stop_after_nodes = FUZZ_NODE_BUDGET;
  if (hash_megabytes != MIN_HASH_MEGABYTES) handle_setoption("setoption name Hash value 1");
  if (solver_hash_megabytes != 1) handle_setoption("setoption name Solver_Hash value 1");
  // Cleared tables make an input replay alike, but clearing costs more than
  // a target that never searches spends on an input.
  if (searches) {
    clear_all_tables();
    solver_table_clear();
    shown_lines_forget();
  }

  reset_input();
  fuzz_input_set(nullptr, 0);
  new_game();
}

void fuzz_search(int depth) {
  char line[32];
  std::snprintf(line, sizeof(line), "go depth %d", depth);
  read_go_limits(line);
  root_search(side_to_move);
}

void fuzz_fail(const char* what, const char* detail) {
  std::fprintf(stderr, "fuzz target: %s%s\n", what, detail);
  std::abort();
}

void fuzz_check_position(const char* when, bool after_setup) {
  char what[200];
  if (const char* why = position_inconsistency()) {
    std::snprintf(what, sizeof(what), "%s: inconsistent position: ", when);
    fuzz_fail(what, why);
  }
  if (after_setup && in_check(side_to_move ^ 1)) fuzz_fail(when, ": the side not to move is in check");
}

void fuzz_write_file(const char* name, const uint8_t* data, std::size_t size) {
  std::FILE* file = std::fopen(name, "wb");
  if (file == nullptr) fuzz_fail("cannot write ", name);
  if (size > 0 && std::fwrite(data, 1, size, file) != size) fuzz_fail("cannot write ", name);
  std::fclose(file);
}
