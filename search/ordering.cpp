// Move ordering: the scores given at generation, the selection step, and the
// killer, mate-killer and history tables.
#include "search/ordering.h"

#include <algorithm>
#include <cassert>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "board.h"
#include "search/move_scorer.h"
#include "search_state.h"

PER_THREAD uint16_t killer1[PLY_SLOTS];
PER_THREAD uint16_t killer2[PLY_SLOTS];
PER_THREAD uint16_t mate_killer[PLY_SLOTS];
PER_THREAD int16_t* history[2] = {nullptr, nullptr};

void reset_history() {
  for (int16_t* table : history)
    for (int i = 0; i < HISTORY_ENTRIES; i++) table[i] = HISTORY_START;
}

namespace {

// The highest score of move_stack[first..last] (at least 8 moves).
#if defined(__SSE2__)
// Two moves per 16-byte load: 16-bit lanes 1 and 5 hold their scores, and
// only those lanes of the running maxima are read.
inline int16_t highest_score(int first, int last) {
  const auto* at = reinterpret_cast<const __m128i*>(&move_stack[first]);
  const int pairs = (last - first + 1) / 2;
  __m128i top_a = _mm_loadu_si128(at), top_b = top_a;
  int k = 1;
  for (; k + 1 < pairs; k += 2) {
    top_a = _mm_max_epi16(top_a, _mm_loadu_si128(at + k));
    top_b = _mm_max_epi16(top_b, _mm_loadu_si128(at + k + 1));
  }
  if (k < pairs) top_a = _mm_max_epi16(top_a, _mm_loadu_si128(at + k));
  const __m128i top = _mm_max_epi16(top_a, top_b);
  int16_t best = std::max(static_cast<int16_t>(_mm_extract_epi16(top, 1)), static_cast<int16_t>(_mm_extract_epi16(top, 5)));
  if ((last - first + 1) % 2 != 0) best = std::max(best, move_stack[last].score);
  return best;
}
#else
inline int16_t highest_score(int first, int last) {
  int16_t best = move_stack[first].score;
  for (int i = first + 1; i <= last; i++) best = std::max(best, move_stack[i].score);
  return best;
}
#endif

}  // namespace

void pick_best_move(int first, int last) {
  int best = first;
  if (last - first >= 7) {
    // The maximum first, then the earliest move that has it.
    const int16_t top = highest_score(first, last);
    while (move_stack[best].score != top) best++;
  } else {
    int16_t best_score = move_stack[first].score;
    for (int i = first + 1; i <= last; i++)
      if (move_stack[i].score > best_score) {
        best_score = move_stack[i].score;
        best = i;
      }
  }
  if (best != first) {
    const Move swap = move_stack[first];
    move_stack[first] = move_stack[best];
    move_stack[best] = swap;
  }
}

void update_move_tables(uint8_t side, const Move& move, int16_t score) {
  const int p = ply;
  const uint16_t key = move_key(move.from, move.to);
  const bool capture = (move.flags & CAPTURE) != 0;
  // A mate that merely recaptures on the opponent's last square is no killer.
  if (score > MATE_BOUND && move.to != key_to(game_record[game_index].move_key)) {
    mate_killer[p] = key;
  } else if (!capture && key != killer1[p]) {
    killer2[p] = killer1[p];
    killer1[p] = key;
  }
  if (!capture) {
    const int depth = horizon[p] - p;
    int16_t& entry = history[side][key];
    if (entry < -2048) entry = static_cast<int16_t>(entry + depth * depth);
  }
}
