// Allocation and filling of the engine's tables at the first isready.
#include "board/engine_init.h"

#include <cstdlib>
#include <ctime>

#include "board.h"
#include "driver/book.h"
#include "search/hash_tables.h"
#include "search/proof_table.h"
#include "board/init_tables.h"
#include "search/ordering.h"
#include "driver/random.h"
#include "settings.h"
#include "search/tt.h"

int engine_init() {
  tt_age = 0;
  style = 1;
  selectivity = 2;
  extensions = 0;
  chess_knowledge = 1;
  combination_search = 0;

  // Fixed allocations, each failure with its own code.
  if ((next_square = static_cast<RayTable*>(std::malloc(MOVE_TYPES * sizeof(RayTable)))) == nullptr) return 1;
  if ((next_direction = static_cast<RayTable*>(std::malloc(MOVE_TYPES * sizeof(RayTable)))) == nullptr) return 2;
  for (int side = WHITE; side <= BLACK; side++) {
    history[side] = static_cast<int16_t*>(std::malloc(HISTORY_ENTRIES * sizeof(int16_t)));
    if (history[side] == nullptr) return 3 + side;
  }
  // Moves are scored from these tables as soon as a position is set up,
  // before the first search resets them.
  reset_history();
  if ((aux_table = static_cast<AuxRecord*>(std::malloc(AUX_TABLE_RECORDS * sizeof(AuxRecord)))) == nullptr)
    return 11;

  book_open();

  if (int failure = allocate_hash_tables(hash_megabytes, nullptr); failure != 0) return failure;
  // Without its table the solver still works, only slower: no failure code.
  solver_table_allocate(solver_hash_megabytes);

  random_seed(static_cast<uint32_t>(std::time(nullptr)));

  value_pawn = 100;
  value_knight = 315;
  value_bishop = 330;
  value_rook = 525;
  value_queen = 1000;
  contempt = 0;
  depth_limit = 98;
  clock_active = 0;

  init_hash_codes();
  tt_clear();
  clear_aux_table();
  clear_score_table();
  init_distance();
  fill_performance_table();
  init_ray_tables();
  return 0;
}

void release_tables() {
  std::free(next_square);
  std::free(next_direction);
  next_square = next_direction = nullptr;
  for (int16_t*& table : history) {
    std::free(table);
    table = nullptr;
  }
  free_hash_tables();
  solver_table_free();
  std::free(aux_table);
  aux_table = nullptr;
}
