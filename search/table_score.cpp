// The tables' answer as a search score.
#include "search/table_score.h"

#include "search_control.h"
#include "search_state.h"
#include "settings.h"

bool table_score(uint8_t side, int p, int16_t* score) {
  // Two kings: no table holds them, and nobody can mate.
  if (__builtin_popcountll(occupied_bits) == 2) {
    *score = draw_score(side, contempt);
    return true;
  }
  TableResult result;
  if (!tables_probe(side, &result)) return false;
  if (result.outcome == TABLE_DRAW) {
    *score = draw_score(side, contempt);
    return true;
  }
  const int mated_ply = p + result.plies;
  if (mated_ply >= MAX_PLY) return false;
  *score = static_cast<int16_t>(result.outcome == TABLE_WIN ? mate_at_ply(mated_ply) : mated_at_ply(mated_ply));
  return true;
}
