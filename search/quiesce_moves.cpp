// The two generators of the quiesce search: captures, promotions and
// en passant; optionally quiet moves that may give check.
#include "board.h"
#include "board/movegen.h"
#include "search/move_scorer.h"
#include "search/ordering.h"
#include "search/search.h"
#include "search_state.h"

namespace {

constexpr int16_t HASH_MOVE_SCORE = 5000;
constexpr int16_t PROMOTION_BONUS = 860;
constexpr int16_t RECAPTURE_BONUS = 50;
constexpr int16_t EN_PASSANT_SCORE = 100;
constexpr int16_t SEVENTH_RANK_PUSH_SCORE = 300;
constexpr uint32_t QUEEN_PROMOTION = PROMOTE | QUEEN;

void add_capture(MoveScorer& s, int from, int mover, int to, bool promotes) {
  int score;
  if (move_key(from, to) == s.hash)
    score = HASH_MOVE_SCORE;
  else
    score = order_value[board[to]] - mover + (to == s.last_to ? RECAPTURE_BONUS : 0);
  if (promotes) score += PROMOTION_BONUS;
  append_scored(s, from, to, score, promotes ? QUEEN_PROMOTION : CAPTURE);
}

bool last_rank(int square) { return rank_of(square) == 0 || rank_of(square) == 7; }
bool seventh_rank(uint8_t side, int square) { return rank_of(square) == (side == WHITE ? 6 : 1); }

// Quiet moves are kept only onto squares no enemy pawn covers from which
// the piece could check the enemy king, and the hash move.
template <bool WITH_CHECKS>
void piece_moves(MoveScorer& s, int sq, int enemy_king) {
  const uint8_t xside = s.side ^ 1;
  const int piece = board[sq];
  const uint64_t checking = WITH_CHECKS ? could_check_squares(piece, enemy_king) : 0;
  const uint8_t* next = next_square[piece][sq];
  const uint8_t* skip = next_direction[piece][sq];
  int u = next[sq];
  while (u != sq) {
    if (color[u] == NEUTRAL) {
      if (WITH_CHECKS) {
        if (move_key(sq, u) == s.hash)
          append_scored(s, sq, u, HASH_MOVE_SCORE, QUIET);
        else if (s.foe_pawns[u] == 0 && ((checking >> u) & 1))
          append_scored(s, sq, u, piece, QUIET);
      }
      u = next[u];
    } else {
      if (color[u] == xside) add_capture(s, sq, piece, u, false);
      u = skip[u];
    }
  }
}

template <bool WITH_CHECKS>
void pawn_moves(MoveScorer& s, int sq) {
  const uint8_t side = s.side, xside = side ^ 1;
  const int type = move_type[side][PAWN];
  const uint8_t* forward = next_square[type][sq];
  const uint8_t* captures = next_direction[type][sq];
  for (int u = captures[sq]; u != sq; u = captures[u])
    if (color[u] == xside) add_capture(s, sq, PAWN, u, last_rank(u));
  int u = forward[sq];
  if (color[u] != NEUTRAL) return;
  if (last_rank(u)) {
    append_scored(s, sq, u, PROMOTION_BONUS, QUEEN_PROMOTION);
    return;
  }
  if (!WITH_CHECKS) return;
  if (move_key(sq, u) == s.hash)
    append_scored(s, sq, u, HASH_MOVE_SCORE, QUIET);
  else if (seventh_rank(side, u))
    append_scored(s, sq, u, SEVENTH_RANK_PUSH_SCORE, QUIET | PAWN_ADVANCE);
  const int double_step = forward[u];
  if (double_step != sq && color[double_step] == NEUTRAL && move_key(sq, double_step) == s.hash)
    append_scored(s, sq, double_step, HASH_MOVE_SCORE, QUIET);
}

template <bool WITH_CHECKS>
void generate(uint8_t side) {
  list_start[ply + 1] = list_start[ply];
  MoveScorer s = move_scorer(side ^ 1);
  const int enemy_king = piece_list[side ^ 1][0];
  for (int i = piece_top[side]; i >= 0; i--) piece_moves<WITH_CHECKS>(s, piece_list[side][i], enemy_king);
  for (int i = pawn_count[side]; i >= 1; i--) pawn_moves<WITH_CHECKS>(s, pawn_list[side][i]);
  int takers[2];
  const int count = en_passant_takers(side, takers);
  for (int k = 0; k < count; k++) append_scored(s, takers[k], ep_square, EN_PASSANT_SCORE, EN_PASSANT);
  close_list(s);
}

}  // namespace

void generate_captures(uint8_t side) { generate<false>(side); }
void generate_captures_and_checks(uint8_t side) { generate<true>(side); }
