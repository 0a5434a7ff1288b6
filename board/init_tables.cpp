// Hash codes, the distance table and the ray tables.
#include "board/init_tables.h"

#include <cstdlib>

#include "board.h"

void init_hash_codes() {
  // A fixed sequence, so keys (and book files keyed by them) are the same on
  // every run.
  uint32_t x = 0x41C64E6F;
  auto next = [&x] { return x += x >> 11; };
  for (int c = WHITE; c <= BLACK; c++) {
    for (int s = 0; s < SQUARE_COUNT; s++) hash_codes[c][NO_PIECE][s][0] = hash_codes[c][NO_PIECE][s][1] = 0;
    for (int p = PAWN; p <= KING; p++)
      for (int s = 0; s < SQUARE_COUNT; s++) {
        hash_codes[c][p][s][0] = next();
        hash_codes[c][p][s][1] = next();
      }
  }
}

void init_distance() {
  for (int a = 0; a < SQUARE_COUNT; a++)
    for (int b = 0; b < SQUARE_COUNT; b++) {
      int df = std::abs(file_of(a) - file_of(b));
      int dr = std::abs(rank_of(a) - rank_of(b));
      distance[a][b] = static_cast<int16_t>(df > dr ? df : dr);
    }
}

namespace {

struct Rays {
  uint8_t dest[8][8];  // squares reached per direction slot, nearest first
  int steps[8];
};

Rays trace_rays(int type, int mailbox) {
  Rays r{};
  const int origin = mailbox_to_square[mailbox];
  const bool pawn = type == PAWN || type == BLACK_PAWN;
  for (int d = 0; d < 8; d++) {
    r.dest[d][0] = static_cast<uint8_t>(origin);
    r.steps[d] = 0;
    if (directions[type][d] == 0) continue;
    int m = mailbox;
    for (int s = 0; s < max_steps[type]; s++) {
      // Only a pawn's forward step from its home rank is doubled.
      if (pawn && s > 0 && (d > 0 || initial_board[origin] != PAWN)) break;
      m += directions[type][d];
      int square = mailbox_to_square[m];
      if (square < 0) break;
      r.dest[d][s] = static_cast<uint8_t>(square);
      r.steps[d]++;
    }
  }
  return r;
}

void chain_pawn(int type, int o, const Rays& r) {
  uint8_t* forward = next_square[type][o];
  uint8_t* captures = next_direction[type][o];
  forward[o] = r.dest[0][0];
  if (r.steps[0] == 2) forward[r.dest[0][0]] = r.dest[0][1];
  // In this order, so that a missing first capture lets the second one
  // start the chain.
  captures[o] = r.dest[1][0];
  captures[r.dest[1][0]] = r.dest[2][0];
}

void chain_piece(int type, int o, const Rays& r) {
  // Rays that reach a square first, empty ones after, otherwise in order.
  int sorted[8];
  int n_sorted = 0;
  for (int d = 0; d < 8; d++) {
    int at = n_sorted++;
    sorted[at] = d;
    while (at > 0 && r.steps[d] > 0 && r.steps[sorted[at - 1]] == 0) {
      sorted[at] = sorted[at - 1];
      sorted[--at] = d;
    }
  }
  uint8_t* next = next_square[type][o];
  uint8_t* skip = next_direction[type][o];
  skip[o] = r.dest[sorted[0]][0];
  int p = o;
  for (int k = 0; k < 8; k++) {
    const int d = sorted[k];
    for (int s = 0; s < r.steps[d]; s++) {
      const int square = r.dest[d][s];
      next[p] = static_cast<uint8_t>(square);
      p = square;
      if (k < 7) skip[square] = r.dest[sorted[k + 1]][0];
    }
  }
}

}  // namespace

void init_ray_tables() {
  for (int t = 0; t < MOVE_TYPES; t++)
    for (int o = 0; o < SQUARE_COUNT; o++)
      for (int q = 0; q < SQUARE_COUNT; q++)
        next_square[t][o][q] = next_direction[t][o][q] = static_cast<uint8_t>(o);

  for (int t = 1; t < MOVE_TYPES; t++)
    for (int m = 21; m <= 98; m++) {
      const int o = mailbox_to_square[m];
      if (o < 0) continue;
      const Rays rays = trace_rays(t, m);
      if (t == PAWN || t == BLACK_PAWN)
        chain_pawn(t, o, rays);
      else
        chain_piece(t, o, rays);
    }
}
