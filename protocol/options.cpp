// Turning setoption commands into the engine's settings.
#include "protocol/options.h"

#include <cstdio>
#include <cstring>

#include "driver/learn_file.h"
#include "protocol/input.h"
#include "search/hash_tables.h"
#include "search/helper_threads.h"
#include "search/proof_table.h"
#include "search/tables.h"
#include "search/tt.h"
#include "settings.h"

namespace {

bool is(const char* token, const char* word) { return std::strcmp(token, word) == 0; }

void set_hash(int32_t megabytes) {
  // Below 1 MB the tables would shrink to two entries.
  if (megabytes < MIN_HASH_MEGABYTES) megabytes = MIN_HASH_MEGABYTES;
  if (megabytes > MAX_HASH_MEGABYTES) megabytes = MAX_HASH_MEGABYTES;
  // Budgets just below 205 MB are lifted into the next table size.
  if (megabytes >= 196 && megabytes <= 204) megabytes += megabytes < 200 ? 10 : 5;
  hash_megabytes = megabytes;
  // Before the first isready the tables do not exist; engine_init sizes them.
  if (!engine_ready) return;
  int32_t used = megabytes;
  if (allocate_hash_tables(megabytes, &used) != 0) return;
  hash_megabytes = used;
  tt_clear();
  clear_score_table();
}

// Before the first isready the table does not exist; engine_init sizes it.
void set_solver_hash(int32_t megabytes) {
  solver_hash_megabytes = megabytes < 1 ? 1 : megabytes > SOLVER_HASH_MAX ? SOLVER_HASH_MAX : megabytes;
  if (engine_ready) solver_table_allocate(solver_hash_megabytes);
}

// The folders are the rest of the line after "value": they may hold blanks
// and are separated by ';', which the tokens would split. "<empty>" is the
// announced default.
void set_tb_path(const char* line) {
  const char* value = std::strstr(line, " value ");
  const char* text = value != nullptr ? value + 7 : "";
  std::snprintf(gaviota_tb_path, sizeof(gaviota_tb_path), "%s", text);
  std::size_t length = std::strlen(gaviota_tb_path);
  while (length > 0 && (gaviota_tb_path[length - 1] == ' ' || gaviota_tb_path[length - 1] == '\r'))
    gaviota_tb_path[--length] = '\0';
  if (std::strcmp(gaviota_tb_path, "<empty>") == 0) gaviota_tb_path[0] = '\0';
  // Before the first isready the engine opens them with its tables.
  if (engine_ready) tables_open(gaviota_tb_path, gaviota_tb_cache);
}

void set_tb_cache(int32_t megabytes) {
  gaviota_tb_cache = megabytes < 1 ? 1 : megabytes > TB_CACHE_MAX ? TB_CACHE_MAX : megabytes;
  if (engine_ready && tables_men != 0) tables_open(gaviota_tb_path, gaviota_tb_cache);
}

void set_threads(int32_t number) { thread_count = number < 1 ? 1 : number > THREADS_MAX ? THREADS_MAX : number; }

void set_chess_knowledge(const char* word) {
  static constexpr const char* levels[] = {"none", "normal", "max"};
  for (uint8_t level = 0; level < 3; level++)
    if (is(word, levels[level])) chess_knowledge = level;
}

}  // namespace

void handle_setoption(const char* line) {
  tokenize(line);
  const char* name = tokens[2];
  const char* value = tokens[4];
  const int32_t number = token_number(4);

  if (is(name, "MultiPV_Search")) {
    multipv_exact = is(value, "exact");
  } else if (is(name, "MultiPV")) {
    multipv_lines = number;
  } else if (is(name, "Info")) {
    std::fputs("info string Hello\n", stdout);
    std::fflush(stdout);
  } else if (is(name, "Clear")) {
    clear_all_tables();
    // The solver's entries are facts that no setting changes: only this empties them.
    solver_tables_clear();
  } else if (is(name, "Hash")) {
    set_hash(number);
  } else if (is(name, "Use_Engine_Book")) {
    use_engine_book = is(value, "true");
  } else if (is(name, "Learn")) {
    if (is(value, "true"))
      learn_switch_on();
    else
      learn_switch_off();
  } else if (is(name, "Combination_Search")) {
    // accepted, no effect
  } else if (is(name, "NewPonder")) {
    new_ponder = is(value, "true");
  } else if (is(name, "Chess_Knowledge")) {
    set_chess_knowledge(value);
  } else if (is(name, "Selectivity")) {
    // accepted, no effect
  } else if (is(name, "Matt_in")) {
    // Outside its announced range the limit would wrap as a byte.
    matt_in = static_cast<int8_t>(number < MIN_MATT_IN ? MIN_MATT_IN : number > MAX_MATT_IN ? MAX_MATT_IN : number);
  } else if (is(name, "Extensions")) {
    // accepted, no effect
  } else if (is(name, "Contempt")) {
    contempt = static_cast<int16_t>(static_cast<uint16_t>(number));
  } else if (is(name, "Style")) {
    // accepted, no effect
  } else if (is(name, "Zugzwang_Safe")) {
    zugzwang_safe = is(value, "true");
  } else if (is(name, "Mate_Solver")) {
    mate_solver = is(value, "true");
  } else if (is(name, "Solver_Hash")) {
    set_solver_hash(number);
  } else if (is(name, "Threads")) {
    set_threads(number);
  } else if (is(name, "Obey_Limits")) {
    obey_limits = is(value, "true");
  } else if (is(name, "Stop_After_Nodes")) {
    // Tests stop a search at an exact node count; 0 turns it off.
    stop_after_nodes = number < 0 ? 0 : static_cast<uint32_t>(number);
  } else if (is(name, "GaviotaTbPath")) {
    set_tb_path(line);
  } else if (is(name, "GaviotaTbCache")) {
    set_tb_cache(number);
  }
}
