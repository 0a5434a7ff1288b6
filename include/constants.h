// The board's constant tables, computed at compile time from their rules.
#pragma once

#include <array>
#include <cstdint>

#include "types.h"

namespace constants_detail {

constexpr uint8_t back_rank[8] = {ROOK, KNIGHT, BISHOP, QUEEN, KING, BISHOP, KNIGHT, ROOK};

constexpr std::array<uint8_t, SQUARE_COUNT> make_initial_board() {
  std::array<uint8_t, SQUARE_COUNT> b{};
  for (int f = 0; f < 8; f++) {
    b[make_square(f, 0)] = back_rank[f];
    b[make_square(f, 1)] = PAWN;
    b[make_square(f, 6)] = PAWN;
    b[make_square(f, 7)] = back_rank[f];
  }
  return b;
}

constexpr std::array<uint8_t, SQUARE_COUNT> make_initial_color() {
  std::array<uint8_t, SQUARE_COUNT> c{};
  for (int s = 0; s < SQUARE_COUNT; s++)
    c[s] = rank_of(s) <= 1 ? WHITE : rank_of(s) >= 6 ? BLACK : NEUTRAL;
  return c;
}

constexpr std::array<int8_t, 120> make_mailbox() {
  std::array<int8_t, 120> m{};
  for (auto& v : m) v = -1;
  for (int r = 0; r < 8; r++)
    for (int f = 0; f < 8; f++) m[21 + 10 * r + f] = static_cast<int8_t>(make_square(f, r));
  return m;
}

// Squares a pawn attacks: table 9 holds s+9 for white (not from the h-file)
// and s-9 for black (not from the a-file); table 7 holds s+7 for white (not from
// the a-file) and s-7 for black (not from the h-file). First and eighth rank
// give NO_SQUARE.
constexpr std::array<std::array<int8_t, SQUARE_COUNT>, 2> make_pawn_attack(int step) {
  std::array<std::array<int8_t, SQUARE_COUNT>, 2> t{};
  const int white_edge = step == 9 ? 7 : 0;
  const int black_edge = 7 - white_edge;
  for (int s = 0; s < SQUARE_COUNT; s++) {
    t[WHITE][s] = t[BLACK][s] = NO_SQUARE;
    if (rank_of(s) == 0 || rank_of(s) == 7) continue;
    if (file_of(s) != white_edge) t[WHITE][s] = static_cast<int8_t>(s + step);
    if (file_of(s) != black_edge) t[BLACK][s] = static_cast<int8_t>(s - step);
  }
  return t;
}

// Squares from which an enemy pawn could capture onto an en-passant square, or
// the square itself where there is none.
constexpr std::array<int8_t, SQUARE_COUNT> make_ep_capturer(bool toward_h) {
  std::array<int8_t, SQUARE_COUNT> t{};
  for (int s = 0; s < SQUARE_COUNT; s++) {
    t[s] = static_cast<int8_t>(s);
    if (toward_h ? file_of(s) == 7 : file_of(s) == 0) continue;
    if (rank_of(s) == 2) t[s] = static_cast<int8_t>(toward_h ? s + 9 : s + 7);
    if (rank_of(s) == 5) t[s] = static_cast<int8_t>(toward_h ? s - 7 : s - 9);
  }
  return t;
}

}  // namespace constants_detail

inline constexpr std::array<uint8_t, SQUARE_COUNT> initial_board = constants_detail::make_initial_board();
inline constexpr std::array<uint8_t, SQUARE_COUNT> initial_color = constants_detail::make_initial_color();
inline constexpr int8_t king_home[2] = {4, 60};

// Move-table type of each piece code; a black pawn has its own.
inline constexpr uint8_t move_type[2][8] = {{0, 1, 2, 3, 4, 5, 6, 0}, {0, 7, 2, 3, 4, 5, 6, 0}};

// Steps on the 10 x 12 mailbox, in the order the ray tables chain them.
inline constexpr int8_t directions[MOVE_TYPES][8] = {
    {0, 0, 0, 0, 0, 0, 0, 0},
    {10, 9, 11, 0, 0, 0, 0, 0},
    {8, -8, 12, -12, 19, -19, 21, -21},
    {9, 11, -9, -11, 0, 0, 0, 0},
    {1, 10, -1, -10, 0, 0, 0, 0},
    {1, 10, -1, -10, 9, 11, -9, -11},
    {1, 10, -1, -10, 9, 11, -9, -11},
    {-10, -9, -11, 0, 0, 0, 0, 0},
};
inline constexpr int8_t max_steps[MOVE_TYPES] = {0, 2, 1, 7, 7, 7, 1, 2};

inline constexpr std::array<int8_t, 120> mailbox_to_square = constants_detail::make_mailbox();
inline constexpr std::array<std::array<int8_t, SQUARE_COUNT>, 2> pawn_attack_9 =
    constants_detail::make_pawn_attack(9);
inline constexpr std::array<std::array<int8_t, SQUARE_COUNT>, 2> pawn_attack_7 =
    constants_detail::make_pawn_attack(7);
inline constexpr std::array<int8_t, SQUARE_COUNT> ep_capturer_1 = constants_detail::make_ep_capturer(false);
inline constexpr std::array<int8_t, SQUARE_COUNT> ep_capturer_2 = constants_detail::make_ep_capturer(true);

// Spot checks of the rules above.
static_assert(pawn_attack_9[WHITE][8] == 17 && pawn_attack_7[WHITE][8] == NO_SQUARE);
static_assert(pawn_attack_9[BLACK][55] == 46 && pawn_attack_7[BLACK][55] == NO_SQUARE);
static_assert(ep_capturer_1[16] == 16 && ep_capturer_2[16] == 25);
static_assert(ep_capturer_1[44] == 35 && ep_capturer_2[44] == 37);
static_assert(mailbox_to_square[21] == 0 && mailbox_to_square[98] == 63 && mailbox_to_square[29] == -1);
