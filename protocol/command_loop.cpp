// Reading, recognising and answering the GUI's commands.
#include "protocol/command_loop.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "board.h"
#include "board/engine_init.h"
#include "driver/learn_file.h"
#include "driver/root_search.h"
#include "protocol/game_setup.h"
#include "protocol/input.h"
#include "protocol/options.h"
#include "protocol/poll.h"
#include "protocol/position_command.h"
#include "protocol/search_limits.h"
#include "search/helper_threads.h"
#include "search/proof_table.h"
#include "search/tables.h"
#include "search_control.h"
#include "search_state.h"
#include "settings.h"

namespace {

char line_buffer[INPUT_BUFFER_SIZE];

bool starts_with(const char* line, const char* word) { return std::strncmp(line, word, std::strlen(word)) == 0; }

void handle_uci() {
  std::fputs("id name Tervalk Mate Beta3\n", stdout);
  std::fputs("id author Halvorsk, Germany\n", stdout);
  std::fputs("option name Hash type spin default 16 min 1 max 432\n", stdout);
  std::fputs("option name Clear Hash type button\n", stdout);
  std::fputs("option name Info type button\n", stdout);
  std::fputs("option name Matt_in type spin default 15 min 1 max 50\n", stdout);
  std::fputs("option name Zugzwang_Safe type check default false\n", stdout);
  std::fputs("option name Mate_Solver type check default false\n", stdout);
  std::fprintf(stdout, "option name Solver_Hash type spin default %d min 1 max %d\n", SOLVER_HASH_DEFAULT,
               SOLVER_HASH_MAX);
  std::fprintf(stdout, "option name Threads type spin default 1 min 1 max %d\n", THREADS_MAX);
  std::fputs("option name Obey_Limits type check default false\n", stdout);
  std::fputs("option name GaviotaTbPath type string default <empty>\n", stdout);
  std::fprintf(stdout, "option name GaviotaTbCache type spin default %d min 1 max %d\n", TB_CACHE_DEFAULT,
               TB_CACHE_MAX);
  matt_in = 15;
  std::fputs("uciok\n", stdout);
  std::fflush(stdout);
}

void handle_isready() {
  ensure_engine_ready();
  std::fputs("readyok\n", stdout);
  std::fflush(stdout);
}

}  // namespace

void read_go_limits(const char* line) {
  elapsed = 0;
  iteration_depth = 0;
  depth_limit = 98;
  go_mate_moves = 0;
  time_mode = TM_CLOCK;
  GoClock clock{};
  int32_t movetime_ms = 0, nodes = 0;
  bool infinite = false;

  int n = tokenize(line);
  for (int i = 1; i < n; i++) {
    const char* word = tokens[i];
    // Value words read the following token; past the last token it reads 0.
    auto value = [&i] { return token_number(++i); };
    if (std::strcmp(word, "ponder") == 0) {
      pondering = 1;
      if (new_ponder == 2) take_back_ponder_move();
    } else if (std::strcmp(word, "wtime") == 0) {
      clock.time[WHITE] = value();
      clock.given = true;
    } else if (std::strcmp(word, "btime") == 0) {
      clock.time[BLACK] = value();
      clock.given = true;
    } else if (std::strcmp(word, "winc") == 0) {
      clock.increment[WHITE] = value();
    } else if (std::strcmp(word, "binc") == 0) {
      clock.increment[BLACK] = value();
    } else if (std::strcmp(word, "movestogo") == 0) {
      clock.moves_to_go = value();
      time_mode = TM_MOVESTOGO;
    } else if (std::strcmp(word, "depth") == 0) {
      depth_limit = static_cast<uint8_t>(value());
      time_mode = TM_DEPTH;
    } else if (std::strcmp(word, "mate") == 0) {
      // A mate in at most N moves, searched with N as the mate limit.
      const int32_t moves = value();
      go_mate_moves = static_cast<int8_t>(moves < MIN_MATT_IN ? MIN_MATT_IN : moves > MAX_MATT_IN ? MAX_MATT_IN : moves);
      time_mode = TM_DEPTH;
    } else if (std::strcmp(word, "nodes") == 0) {
      nodes = value();
      time_mode = TM_INFINITE;
    } else if (std::strcmp(word, "movetime") == 0) {
      movetime_ms = value();
      time_mode = TM_MOVETIME;
    } else if (std::strcmp(word, "infinite") == 0) {
      time_mode = TM_INFINITE;
      infinite = true;
    }
  }
  set_search_limits(obey_limits != 0 && !infinite, movetime_ms, nodes, clock, side_to_move);
  // A search with a node limit ends by itself: its bestmove does not wait.
  if (search_node_limit > 0 && time_mode == TM_INFINITE) time_mode = TM_MOVETIME;
}

namespace {

void handle_go(const char* line) {
  ensure_engine_ready();
  read_go_limits(line);
  root_search(side_to_move);
}

}  // namespace

void ensure_engine_ready() {
  if (engine_ready) return;
  install_search_poll();
  if (engine_init() != 0) std::exit(0);
  new_game();
  engine_ready = 1;
  // Tables named before the first isready open with the engine.
  if (gaviota_tb_path[0] != '\0') tables_open(gaviota_tb_path, gaviota_tb_cache);
  // Learning switched on before the tables existed fills them now.
  if (learn_enabled) learn_load();
}

void read_commands() {
  ply = 1;
  quit_requested = 0;
  while (!quit_requested) {
    if (!read_input_line(line_buffer)) {
      // End of input ends the engine as quit does.
      quit_requested = 1;
      break;
    }
    const char* line = line_buffer;
    if (starts_with(line, "ucinewgame")) {
      // Nothing to do: the position command that follows sets the game up,
      // and the settings stay as the user chose them.
    } else if (starts_with(line, "uci")) {
      handle_uci();
    } else if (starts_with(line, "isready")) {
      handle_isready();
    } else if (starts_with(line, "setoption")) {
      handle_setoption(line);
    } else if (starts_with(line, "go")) {
      handle_go(line);
    } else if (starts_with(line, "position")) {
      ensure_engine_ready();
      if (handle_position(line)) return;
    } else if (starts_with(line, "quit")) {
      quit_requested = 1;
    }
  }
}
