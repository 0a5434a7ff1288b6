// Recomputes every derived part of the position and compares.
#include "board/position_check.h"

#include <cstdio>

#include "board.h"
#include "board/bitboards.h"

const char* position_inconsistency() {
  static char why[160];
  auto fail = [](const char* what, int a, int b) {
    std::snprintf(why, sizeof(why), "%s (%d, %d)", what, a, b);
    return why;
  };

  int16_t mat[2] = {0, 0}, piece_mat[2] = {0, 0};
  int8_t attacks[2][SQUARE_COUNT + 1] = {};
  uint32_t key = 0, lock = 0, pawns = 0;
  uint64_t men[2][PIECE_CODES] = {}, occupied = 0;
  int pieces[2] = {0, 0}, pawn_men[2] = {0, 0}, kings[2] = {0, 0};

  for (int s = 0; s < SQUARE_COUNT; s++) {
    const int c = color[s], t = board[s];
    if ((c == NEUTRAL) != (t == NO_PIECE)) return fail("board and color disagree on square", s, t);
    if (c == NEUTRAL) continue;
    if (c > BLACK || t > KING) return fail("bad colour or piece on square", s, t);
    mat[c] = static_cast<int16_t>(mat[c] + piece_value[t]);
    men[c][t] |= square_bit(s);
    occupied |= square_bit(s);
    key ^= hash_codes[c][t][s][0];
    lock ^= hash_codes[c][t][s][1];
    if (t == PAWN) {
      pawns ^= hash_codes[c][t][s][1];
      attacks[c][pawn_attack_9[c][s]]++;
      attacks[c][pawn_attack_7[c][s]]++;
      pawn_men[c]++;
      const int i = list_index[s];
      if (i < 1 || i > pawn_count[c] || pawn_list[c][i] != s) return fail("pawn list misses square", s, i);
    } else {
      piece_mat[c] = static_cast<int16_t>(piece_mat[c] + piece_value[t]);
      if (t == KING) {
        kings[c]++;
        if (list_index[s] != 0 || piece_list[c][0] != s) return fail("king not at list index 0", s, list_index[s]);
      } else {
        pieces[c]++;
        const int i = list_index[s];
        if (i < 1 || i > piece_top[c] || piece_list[c][i] != s) return fail("piece list misses square", s, i);
      }
    }
  }
  for (int c = WHITE; c <= BLACK; c++) {
    if (kings[c] != 1) return fail("king count of side", c, kings[c]);
    if (pieces[c] != piece_top[c]) return fail("piece_top of side", c, piece_top[c]);
    if (pawn_men[c] != pawn_count[c]) return fail("pawn_count of side", c, pawn_count[c]);
    if (mat[c] != material[c]) return fail("material of side", c, material[c]);
    if (piece_mat[c] != piece_material[c]) return fail("piece_material of side", c, piece_material[c]);
    for (int s = 0; s < SQUARE_COUNT; s++)
      if (attacks[c][s] != pawn_attacks[c][s]) return fail("pawn_attacks of side on square", c, s);
    for (int t = 0; t < PIECE_CODES; t++)
      if (men[c][t] != men_bits[c][t]) return fail("men_bits of side and piece", c, t);
  }
  if (occupied != occupied_bits) return fail("occupied_bits", 0, 0);
  if (key != hash_key) return fail("hash_key", 0, 0);
  if (lock != hash_lock) return fail("hash_lock", 0, 0);
  if (pawns != pawn_key) return fail("pawn_key", 0, 0);
  return nullptr;
}
