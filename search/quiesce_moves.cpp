// The two generators of the quiescence search: captures, promotions and
// en passant; optionally quiet moves that may give check.
#include "board.h"
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

void append(int from, int to, int score, uint32_t flags) {
  uint16_t& fill = list_start[ply + 1];
  if (fill >= MOVE_STACK_SIZE) return;
  move_stack[fill++] = Move{static_cast<int8_t>(from), static_cast<int8_t>(to), static_cast<int16_t>(score), flags};
}

void add_capture(int from, int to, bool promotes) {
  int score;
  if (move_key(from, to) == hash_move)
    score = HASH_MOVE_SCORE;
  else
    score = order_value[board[to]] - board[from] + (to == last_to_square ? RECAPTURE_BONUS : 0);
  if (promotes) score += PROMOTION_BONUS;
  append(from, to, score, promotes ? QUEEN_PROMOTION : CAPTURE);
}

bool last_rank(int square) { return rank_of(square) == 0 || rank_of(square) == 7; }
bool seventh_rank(uint8_t side, int square) { return rank_of(square) == (side == WHITE ? 6 : 1); }

void piece_moves(int sq, uint8_t side, bool with_checks, int enemy_king) {
  const uint8_t xside = side ^ 1;
  const int piece = board[sq];
  const uint8_t* next = next_square[piece][sq];
  const uint8_t* skip = next_direction[piece][sq];
  int u = next[sq];
  while (u != sq) {
    if (color[u] == NEUTRAL) {
      if (with_checks) {
        if (move_key(sq, u) == hash_move)
          append(sq, u, HASH_MOVE_SCORE, QUIET);
        else if (piece != KING && pawn_attacks[xside][u] == 0 && could_check(piece, u, enemy_king))
          append(sq, u, piece, QUIET);
      }
      u = next[u];
    } else {
      if (color[u] == xside) add_capture(sq, u, false);
      u = skip[u];
    }
  }
}

void pawn_moves(int sq, uint8_t side, bool with_checks) {
  const uint8_t xside = side ^ 1;
  const int type = move_type[side][PAWN];
  const uint8_t* forward = next_square[type][sq];
  const uint8_t* captures = next_direction[type][sq];
  for (int u = captures[sq]; u != sq; u = captures[u])
    if (color[u] == xside) add_capture(sq, u, last_rank(u));
  int u = forward[sq];
  if (color[u] != NEUTRAL) return;
  if (last_rank(u)) {
    append(sq, u, PROMOTION_BONUS, QUEEN_PROMOTION);
    return;
  }
  if (!with_checks) return;
  if (move_key(sq, u) == hash_move)
    append(sq, u, HASH_MOVE_SCORE, QUIET);
  else if (seventh_rank(side, u))
    append(sq, u, SEVENTH_RANK_PUSH_SCORE, QUIET | PAWN_ADVANCE);
  const int double_step = forward[u];
  if (double_step != sq && color[double_step] == NEUTRAL && move_key(sq, double_step) == hash_move)
    append(sq, double_step, HASH_MOVE_SCORE, QUIET);
}

void generate(uint8_t side, bool with_checks) {
  list_start[ply + 1] = list_start[ply];
  const int enemy_king = piece_list[side ^ 1][0];
  for (int i = piece_top[side]; i >= 0; i--) piece_moves(piece_list[side][i], side, with_checks, enemy_king);
  for (int i = pawn_count[side]; i >= 1; i--) pawn_moves(pawn_list[side][i], side, with_checks);
  if (ep_square > 0) {
    for (int from : {static_cast<int>(ep_capturer_1[ep_square]), static_cast<int>(ep_capturer_2[ep_square])})
      if (color[from] == side && board[from] == PAWN) append(from, ep_square, EN_PASSANT_SCORE, EN_PASSANT);
  }
}

}  // namespace

bool could_check(int piece, int from, int target) {
  const int df = file_of(from) - file_of(target), dr = rank_of(from) - rank_of(target);
  const bool diagonal = df == dr || df == -dr;
  const bool line = df == 0 || dr == 0;
  switch (piece) {
    case KNIGHT: return distance[from][target] <= 2;
    case BISHOP: return diagonal;
    case ROOK: return line;
    case QUEEN: return diagonal || line;
    default: return false;
  }
}

void generate_captures(uint8_t side) { generate(side, false); }
void generate_captures_and_checks(uint8_t side) { generate(side, true); }
