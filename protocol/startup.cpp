// Start-up and shutdown of the engine process.
#include "protocol/startup.h"

#include <cstdio>

#include "board.h"
#include "driver/book.h"
#include "protocol/command_loop.h"
#include "board/engine_init.h"
#include "protocol/platform.h"
#include "settings.h"

int engine_main(int argc, char** argv) {
  platform_raw_output();
  hash_mask = DEFAULT_HASH_ENTRIES - 1;
  score_table_entries = DEFAULT_SCORE_ENTRIES;
  new_ponder = 0;

  const int status = parse_command_line(argc, argv);
  std::fflush(stdout);
  if (status >= 0) return status;
  if (hash_mask == 2232) {
    std::fputs("Tervalk Mate Beta3 - a solver of forced mates for UCI interfaces\n", stdout);
    std::fputs("Halvorsk, Germany\n", stdout);
    std::fflush(stdout);
  }

  platform_ignore_interrupt();

  quit_requested = 0;
  use_engine_book = 0;
  hash_megabytes = 16;
  engine_ready = 0;
  contempt = 0;
  learn_enabled = 0;
  multipv_lines = 1;
  multipv_exact = 1;

  while (!quit_requested) read_commands();

  if (book_available) book_close();
  release_tables();
  std::fflush(stdout);
  return 0;
}
