// The square-set tables, computed at compile time.
#include "board/bitboards.h"

namespace {

constexpr bool on_board(int file, int rank) { return file >= 0 && file < 8 && rank >= 0 && rank < 8; }

// Squares reached by steps (df, dr) from each square, one step or sliding.
template <int N>
constexpr SquareSets reach(const int (&steps)[N][2], bool slide) {
  SquareSets sets{};
  for (int s = 0; s < SQUARE_COUNT; s++)
    for (const auto& step : steps) {
      int f = file_of(s) + step[0], r = rank_of(s) + step[1];
      while (on_board(f, r)) {
        sets[s] |= square_bit(make_square(f, r));
        if (!slide) break;
        f += step[0];
        r += step[1];
      }
    }
  return sets;
}

constexpr int knight_steps[8][2] = {{1, 2}, {2, 1}, {2, -1}, {1, -2}, {-1, -2}, {-2, -1}, {-2, 1}, {-1, 2}};
constexpr int diagonal_steps[4][2] = {{1, 1}, {1, -1}, {-1, -1}, {-1, 1}};
constexpr int straight_steps[4][2] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
constexpr int king_steps[8][2] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}, {1, 1}, {1, -1}, {-1, -1}, {-1, 1}};

constexpr SquareSets make_near() {
  SquareSets sets{};
  for (int a = 0; a < SQUARE_COUNT; a++)
    for (int b = 0; b < SQUARE_COUNT; b++) {
      const int df = file_of(a) - file_of(b), dr = rank_of(a) - rank_of(b);
      if (df >= -2 && df <= 2 && dr >= -2 && dr <= 2) sets[a] |= square_bit(b);
    }
  return sets;
}

constexpr std::array<SquareSets, SQUARE_COUNT> make_between() {
  std::array<SquareSets, SQUARE_COUNT> sets{};
  for (int a = 0; a < SQUARE_COUNT; a++)
    for (const auto& step : king_steps) {
      uint64_t passed = 0;
      int f = file_of(a) + step[0], r = rank_of(a) + step[1];
      while (on_board(f, r)) {
        sets[a][make_square(f, r)] = passed;
        passed |= square_bit(make_square(f, r));
        f += step[0];
        r += step[1];
      }
    }
  return sets;
}

}  // namespace

constexpr int white_pawn_steps[2][2] = {{-1, 1}, {1, 1}};
constexpr int black_pawn_steps[2][2] = {{-1, -1}, {1, -1}};

constexpr std::array<SquareSets, 2> pawn_reach = {reach(white_pawn_steps, false), reach(black_pawn_steps, false)};
constexpr SquareSets knight_reach = reach(knight_steps, false);
constexpr SquareSets king_reach = reach(king_steps, false);
constexpr SquareSets near_squares = make_near();
constexpr SquareSets diagonal_reach = reach(diagonal_steps, true);
constexpr SquareSets straight_reach = reach(straight_steps, true);
constexpr std::array<SquareSets, SQUARE_COUNT> between_squares = make_between();

static_assert(pawn_reach[WHITE][4] == (square_bit(11) | square_bit(13)) && pawn_reach[BLACK][8] == square_bit(1));
static_assert(near_squares[0] == 0x070707 && near_squares[63] == 0xE0E0E0ULL << 40);
static_assert(knight_reach[0] == (square_bit(10) | square_bit(17)));
static_assert(king_reach[63] == (square_bit(62) | square_bit(55) | square_bit(54)));
static_assert(between_squares[0][63] == (diagonal_reach[0] & diagonal_reach[63]));
static_assert(between_squares[4][60] == (straight_reach[4] & straight_reach[60] & ~square_bit(4) & ~square_bit(60)) &&
              between_squares[4][12] == 0 && between_squares[4][23] == 0 && between_squares[4][22] == square_bit(13));
