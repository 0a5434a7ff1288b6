// The engine's vocabulary: squares, pieces, colours, moves, scores and limits.
#pragma once

#include <cstdint>

// What each search thread owns (its position and search state) is declared
// PER_THREAD: thread-local storage. Where the compiler can only emulate that
// storage (the build sets TERVALK_EMULATED_TLS), every access would cost a
// call: there it stays plain global state and the engine searches with one
// thread. constinit: none has a dynamic initialiser, so no access needs the
// call that would check for one (a struct gets `= {}` to qualify).
#ifdef TERVALK_EMULATED_TLS
#define PER_THREAD
constexpr bool SEARCH_THREADS_AVAILABLE = false;
#else
#define PER_THREAD constinit thread_local
constexpr bool SEARCH_THREADS_AVAILABLE = true;
#endif

// Squares run a1 = 0, b1 = 1, ... h1 = 7, a2 = 8, ... h8 = 63.
constexpr int SQUARE_COUNT = 64;
constexpr int NO_SQUARE = 64;  // the sink entry of the pawn-attack tables

constexpr int file_of(int square) { return square & 7; }
constexpr int rank_of(int square) { return square >> 3; }
constexpr int make_square(int file, int rank) { return rank * 8 + file; }
// The square of the pawn an en-passant capture onto `to` takes.
constexpr int en_passant_victim(int to) { return rank_of(to) == 5 ? to - 8 : to + 8; }

// Piece codes as stored on the board; BLACK_PAWN only names a move-table type.
enum : uint8_t {
  NO_PIECE = 0,
  PAWN = 1,
  KNIGHT = 2,
  BISHOP = 3,
  ROOK = 4,
  QUEEN = 5,
  KING = 6,
  BLACK_PAWN = 7
};
constexpr int PIECE_CODES = 7;  // NO_PIECE .. KING
constexpr int MOVE_TYPES = 8;   // 0 .. BLACK_PAWN

// Colours; NEUTRAL marks an empty square. The opponent of s is s ^ 1.
enum : uint8_t { WHITE = 0, BLACK = 1, NEUTRAL = 2 };

// Move flags. Only the low 16 bits carry meaning.
constexpr uint32_t PROMO_MASK = 0x07;
constexpr uint32_t PROMOTE = 0x08;
constexpr uint32_t CASTLE = 0x10;
constexpr uint32_t EN_PASSANT = 0x20;
constexpr uint32_t QUIET = 0x40;
constexpr uint32_t PAWN_ADVANCE = 0x80;
constexpr uint32_t GIVES_CHECK = 0x100;
constexpr uint32_t CAPTURE = 0x200;
constexpr uint32_t DRAW_MARK = 0x400;

struct Move {
  int8_t from;
  int8_t to;
  int16_t score;   // ordering score at generation, search result later
  uint32_t flags;
};
static_assert(sizeof(Move) == 8);

// A move remembered outside the move stack.
constexpr uint16_t move_key(int from, int to) { return static_cast<uint16_t>(from << 6 | to); }
constexpr int key_from(uint16_t key) { return key >> 6; }
constexpr int key_to(uint16_t key) { return key & 63; }

// Scores are signed 16-bit from the side to move's view; being mated at ply p
// scores p - MATE_SCORE.
constexpr int16_t MATE_SCORE = 10000;
constexpr int16_t MATE_BOUND = 9000;
constexpr int16_t SCORE_INF = 12000;

// Mate scores. Mated at ply p: p - MATE_SCORE; mating there: the negation.
constexpr int16_t mated_at_ply(int p) { return static_cast<int16_t>(p - MATE_SCORE); }
constexpr int16_t mate_at_ply(int p) { return static_cast<int16_t>(MATE_SCORE - p); }
// The ply at which a mate score's mate falls, for either side.
constexpr int mate_ply(int16_t score) { return MATE_SCORE - (score > 0 ? score : -score); }
// At the root (ply 1): the side to move mates in `moves` moves, the mating
// move counted.
constexpr int16_t mate_in(int moves) { return mate_at_ply(2 * moves); }

// Moves of a mate score as UCI counts them, the mating move included;
// negative when the side to move is the one mated.
constexpr int mate_distance(int16_t score) {
  int m = score > MATE_BOUND ? MATE_SCORE - score : -MATE_SCORE - score;
  if (m % 2 != 0) m += score > MATE_BOUND ? 1 : -1;
  return m / 2;
}
static_assert(mate_distance(9998) == 1 && mate_distance(-9999) == -1 && mate_distance(-9997) == -2);
static_assert(mate_distance(mate_in(7)) == 7 && mate_distance(mated_at_ply(7)) == -4);

// Plies: the root is ply 1; per-ply arrays cover plies 0 .. MAX_PLY.
constexpr int MAX_PLY = 98;
constexpr int PLY_SLOTS = MAX_PLY + 1;

// The move stack is shared by all plies. 5500 entries cover every real game,
// but a set-up position may hold many pieces, so each ply gets room for the
// largest pseudo-legal list and appending is still guarded at the end.
constexpr int MAX_MOVES_PER_PLY = 256;
constexpr int MOVE_STACK_SIZE = PLY_SLOTS * MAX_MOVES_PER_PLY;

// The game record holds 798 moves after a reset; the search appends its own
// moves (and null moves) on top, at most one per ply, hence the headroom.
constexpr int MAX_GAME_MOVES = 798;
constexpr int GAME_RECORD_SIZE = MAX_GAME_MOVES + 1 + 128;
