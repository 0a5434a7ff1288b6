// The engine's static evaluation: material only.
#include "board.h"
#include "search/search.h"
#include "search_state.h"

void material_census() {
  const int total = piece_material[WHITE] + piece_material[BLACK];
  game_phase = total > 5300 ? 0 : total >= 4200 ? 1 : total >= 1770 ? 2 : 3;
}

int16_t root_material(uint8_t side) {
  const int16_t balance = static_cast<int16_t>(material[side] - material[side ^ 1]);
  material_diff[ply] = balance;
  material_census();
  return balance;
}
