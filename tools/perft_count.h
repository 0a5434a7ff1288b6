// Leaf counts of the legal move tree, for the perft tool and the tests.
#pragma once

#include <cstdint>
#include <cstdio>

#include "board.h"
#include "board/attacks.h"
#include "board/make_move.h"
#include "board/movegen.h"
#include "tools/coordinate_text.h"


// Leaves `depth` plies below the position with `side` to move, generating at
// the current ply. Every move is made, down to the leaves. With `divide`, each
// move of this node is printed with its count.
inline uint64_t perft_count(uint8_t side, int depth, bool divide = false) {
  if (depth <= 0) return 1;
  const uint8_t xside = side ^ 1;
  const bool check = in_check(side);
  if (check)
    generate_evasions(side);
  else
    generate_moves(side);

  uint64_t total = 0;
  const int first = list_start[ply], last = list_start[ply + 1];
  for (int i = first; i < last; i++) {
    const Move move = move_stack[i];
    make_move(side, move);
    // Evasions are legal already; everything else is tested here.
    if (!check && square_attacked(piece_list[side][0], xside)) {
      unmake_move(side, move);
      continue;
    }
    uint64_t count = 1;
    if (depth > 1) {
      ply++;
      count = perft_count(xside, depth - 1);
      ply--;
    }
    unmake_move(side, move);
    total += count;
    if (divide) {
      char text[6];
      coordinate_text(move, text);
      std::printf("%s %llu\n", text, static_cast<unsigned long long>(count));
    }
  }
  return total;
}
