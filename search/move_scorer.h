// The ordering score of a generated move, inline for the generators: the
// inputs that stay fixed while one list is filled are read once into a
// MoveScorer, and what stays fixed for one man is passed in by the caller.
#pragma once

#include <cassert>
#include <cstdint>

#include "board.h"
#include "board/bitboards.h"
#include "search/ordering.h"
#include "search_state.h"

struct MoveScorer {
  Move* out;                 // next free entry of the list
  Move* end;                 // end of the move stack
  const int16_t* history;    // the moving side's table
  const int8_t* foe_pawns;   // pawn_attacks of the opponent
  uint16_t hash, mate, killer_1, killer_2;
  uint64_t remembered_from;  // from-squares of those four moves
  int last_to;               // last_to_square
  uint8_t side;
};

namespace scorer_detail {
constexpr int16_t HASH_MOVE_SCORE = 5000;
constexpr int16_t PAWN_BITE = -31500;  // a man put en prise to a pawn goes to the back
}  // namespace scorer_detail

// A scorer appending to the current ply's list, which the caller has opened.
inline MoveScorer move_scorer(uint8_t xside) {
  const int p = ply;
  const uint16_t hash = hash_move, mate = mate_killer[p], killer_1 = killer1[p], killer_2 = killer2[p];
  assert(key_from(hash) < SQUARE_COUNT && key_from(mate) < SQUARE_COUNT);
  const uint64_t from_squares = square_bit(key_from(hash)) | square_bit(key_from(mate)) |
                                square_bit(key_from(killer_1)) | square_bit(key_from(killer_2));
  return MoveScorer{move_stack + list_start[p + 1], move_stack + MOVE_STACK_SIZE, history[xside ^ 1],
                    pawn_attacks[xside], hash, mate, killer_1, killer_2, from_squares,
                    last_to_square, static_cast<uint8_t>(xside ^ 1)};
}

// The list's end goes back into list_start.
inline void close_list(const MoveScorer& s) { list_start[ply + 1] = static_cast<uint16_t>(s.out - move_stack); }

inline void append_scored(MoveScorer& s, int from, int to, int score, uint32_t flags) {
  // Moves beyond the stack are dropped; real positions never get there.
  if (s.out >= s.end) return;
  *s.out++ = Move{static_cast<int8_t>(from), static_cast<int8_t>(to), static_cast<int16_t>(score), flags};
}

// What stays fixed while one man's moves are scored.
struct MovingMan {
  int from;
  int piece;
  int value;            // order_value of the piece
  bool flees;           // an enemy pawn attacks it where it stands
  uint64_t remembered;  // to-squares of the remembered moves (hash, mate killer, killers) from here
};

inline MovingMan moving_man(const MoveScorer& s, int from) {
  const int piece = board[from];
  uint64_t remembered = 0;
  if ((s.remembered_from >> from) & 1)
    for (uint16_t key : {s.hash, s.mate, s.killer_1, s.killer_2})
      if (key_from(key) == from) remembered |= square_bit(key_to(key));
  return MovingMan{from, piece, order_value[piece], s.foe_pawns[from] != 0, remembered};
}

// `victim` is the piece on `to`, NO_PIECE when it is empty (en passant and
// castling included). Pawn moves to the last rank become four promotions.
inline void score_move(MoveScorer& s, const MovingMan& man, int to, uint32_t flags, int victim) {
  using namespace scorer_detail;
  const int from = man.from, mover = man.piece, mover_value = man.value;
  const uint16_t key = move_key(from, to);
  // Most moves are none of the remembered ones: one test tells.
  const bool remembered = (man.remembered >> to) & 1;
  int16_t score;
  if (remembered && key == s.hash) {
    score = HASH_MOVE_SCORE;
  } else if (remembered && key == s.mate) {
    score = 2000;
  } else if (victim != NO_PIECE) {
    const int victim_value = order_value[victim];
    score = static_cast<int16_t>(victim_value - mover);
    if (to == s.last_to) score = static_cast<int16_t>(score + 50);
    if (s.foe_pawns[to] != 0 && mover_value > victim_value)
      score = static_cast<int16_t>(score + PAWN_BITE - mover_value);
  } else if (remembered && key == s.killer_1) {
    score = 100;
  } else if (remembered && key == s.killer_2) {
    score = 50;
  } else if (s.foe_pawns[to] != 0 && mover != PAWN) {
    score = static_cast<int16_t>(PAWN_BITE - mover_value);
  } else {
    score = s.history[key];
  }

  if (mover == PAWN) {
    const int rank = rank_of(to);
    if (rank == 0 || rank == 7) {
      const int16_t q = score < 1 ? int16_t{1000} : static_cast<int16_t>(score + 1000);
      append_scored(s, from, to, q, PROMOTE | QUEEN);
      append_scored(s, from, to, static_cast<int16_t>(q - 750), PROMOTE | KNIGHT);
      append_scored(s, from, to, static_cast<int16_t>(q - 750), PROMOTE | BISHOP);
      append_scored(s, from, to, static_cast<int16_t>(q - 550), PROMOTE | ROOK);
      return;
    }
    if (rank == 1 || rank == 6) {
      flags |= PAWN_ADVANCE;
      if (score != HASH_MOVE_SCORE) score = score < 1 ? int16_t{750} : static_cast<int16_t>(score + 750);
    } else if ((rank == 5 && s.side == WHITE) || (rank == 2 && s.side == BLACK)) {
      flags |= PAWN_ADVANCE;
    }
  } else if (man.flees && score != HASH_MOVE_SCORE) {
    // A man attacked by a pawn: moving it away comes earlier.
    score = score > 0 ? static_cast<int16_t>(score + 100) : static_cast<int16_t>(mover_value - 1200);
  }
  append_scored(s, from, to, score, flags);
}
