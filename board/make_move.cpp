// Playing and taking back moves, every derived table updated incrementally.
#include "board/make_move.h"

#include <cassert>

#include "board.h"
#include "board/bitboards.h"

namespace {

inline void toggle_man(uint8_t side, int piece, int square) {
  hash_key ^= hash_codes[side][piece][square][0];
  hash_lock ^= hash_codes[side][piece][square][1];
}

inline void toggle_pawn_key(uint8_t side, int square) { pawn_key ^= hash_codes[side][PAWN][square][1]; }

inline void add_pawn_attacks(uint8_t side, int square, int delta) {
  pawn_attacks[side][pawn_attack_9[side][square]] = static_cast<int8_t>(pawn_attacks[side][pawn_attack_9[side][square]] + delta);
  pawn_attacks[side][pawn_attack_7[side][square]] = static_cast<int8_t>(pawn_attacks[side][pawn_attack_7[side][square]] + delta);
}

// The pawn's attacks and pawn key follow it from `from` to `to`.
inline void shift_pawn(uint8_t side, int from, int to) {
  add_pawn_attacks(side, from, -1);
  add_pawn_attacks(side, to, 1);
  toggle_pawn_key(side, from);
  toggle_pawn_key(side, to);
}

inline void set_list_entry(uint8_t side, int piece, int square) {
  if (piece == PAWN)
    pawn_list[side][list_index[square]] = static_cast<int8_t>(square);
  else
    piece_list[side][list_index[square]] = static_cast<int8_t>(square);
}

// The square sets change the same way when a move is made and taken back.
inline void flip_quiet_bits(uint8_t side, int piece, int f, int t) {
  const uint64_t both = square_bit(f) | square_bit(t);
  men_bits[side][piece] ^= both;
  occupied_bits ^= both;
}

inline void flip_capture_bits(uint8_t side, int piece, int victim, int f, int t) {
  men_bits[side ^ 1][victim] ^= square_bit(t);
  men_bits[side][piece] ^= square_bit(f) | square_bit(t);
  occupied_bits ^= square_bit(f);
}

inline void flip_en_passant_bits(uint8_t side, int f, int t, int c) {
  men_bits[side ^ 1][PAWN] ^= square_bit(c);
  men_bits[side][PAWN] ^= square_bit(f) | square_bit(t);
  occupied_bits ^= square_bit(f) | square_bit(t) | square_bit(c);
}

// `victim` is NO_PIECE for a promotion without capture.
inline void flip_promotion_bits(uint8_t side, int promoted, int victim, int f, int t) {
  men_bits[side][PAWN] ^= square_bit(f);
  men_bits[side][promoted] ^= square_bit(t);
  if (victim != NO_PIECE) {
    men_bits[side ^ 1][victim] ^= square_bit(t);
    occupied_bits ^= square_bit(f);
  } else {
    occupied_bits ^= square_bit(f) | square_bit(t);
  }
}

}  // namespace

void make_move(uint8_t side, const Move& move) {
  const int f = move.from, t = move.to;
  const uint32_t flags = move.flags;
  const uint8_t xside = side ^ 1;

  assert(game_index + 1 < GAME_RECORD_SIZE);
  GameRecord& record = game_record[++game_index];
  record.move_key = move_key(f, t);
  record.flags = flags;
  record.prev_irreversible = irreversible_index;
  record.prev_hash_key = hash_key;
  record.prev_hash_lock = hash_lock;
  record.prev_pawn_key = pawn_key;
  record.prev_ep_square = ep_square;
  ep_square = -1;
  last_to_square = static_cast<uint8_t>(t);

  if (flags & QUIET) {
    const int piece = board[f];
    record.captured_piece = board[t];
    record.captured_color = color[t];
    flip_quiet_bits(side, piece, f, t);
    list_index[t] = list_index[f];
    if (piece == PAWN) {
      irreversible_index = game_index;
      add_pawn_attacks(side, f, -1);
      add_pawn_attacks(side, t, 1);
      if (t - f == 16) ep_square = static_cast<int8_t>(f + 8);
      if (f - t == 16) ep_square = static_cast<int8_t>(f - 8);
      toggle_pawn_key(side, f);
      toggle_pawn_key(side, t);
    }
    set_list_entry(side, piece, t);
    color[t] = color[f];
    board[t] = board[f];
    board[f] = NO_PIECE;
    color[f] = NEUTRAL;
    toggle_man(side, piece, f);
    toggle_man(side, piece, t);
    moved_count[f]++;
  } else if (flags & CAPTURE) {
    const int piece = board[f], victim = board[t];
    irreversible_index = game_index;
    record.captured_piece = static_cast<uint8_t>(victim);
    record.captured_color = color[t];
    flip_capture_bits(side, piece, victim, f, t);
    if (victim == PAWN) {
      add_pawn_attacks(xside, t, -1);
      toggle_pawn_key(xside, t);
      pawn_list_update(xside, t, LIST_REMOVE);
    } else {
      piece_list_update(xside, t, LIST_REMOVE);
      piece_material[xside] = static_cast<int16_t>(piece_material[xside] - piece_value[victim]);
    }
    list_index[t] = list_index[f];
    if (piece == PAWN) shift_pawn(side, f, t);
    set_list_entry(side, piece, t);
    material[xside] = static_cast<int16_t>(material[xside] - piece_value[victim]);
    moved_count[t]++;
    color[t] = color[f];
    board[t] = static_cast<uint8_t>(piece);
    board[f] = NO_PIECE;
    color[f] = NEUTRAL;
    toggle_man(xside, victim, t);
    toggle_man(side, piece, f);
    toggle_man(side, piece, t);
    moved_count[f]++;
  } else if (flags & EN_PASSANT) {
    const int c = en_passant_victim(t);
    irreversible_index = game_index;
    record.captured_piece = PAWN;
    record.captured_color = xside;
    flip_en_passant_bits(side, f, t, c);
    pawn_list_update(xside, c, LIST_REMOVE);
    color[c] = NEUTRAL;
    board[c] = NO_PIECE;
    add_pawn_attacks(xside, c, -1);
    toggle_man(xside, PAWN, c);
    toggle_pawn_key(xside, c);
    shift_pawn(side, f, t);
    color[t] = color[f];
    board[t] = board[f];
    list_index[t] = list_index[f];
    board[f] = NO_PIECE;
    color[f] = NEUTRAL;
    pawn_list[side][list_index[t]] = static_cast<int8_t>(t);
    material[xside] = static_cast<int16_t>(material[xside] - piece_value[PAWN]);
    toggle_man(side, PAWN, f);
    toggle_man(side, PAWN, t);
  } else if ((flags & PROMOTE) && !(flags & CASTLE)) {
    const int victim = board[t], promoted = static_cast<int>(flags & PROMO_MASK);
    irreversible_index = game_index;
    record.captured_piece = static_cast<uint8_t>(victim);
    record.captured_color = color[t];
    flip_promotion_bits(side, promoted, victim, f, t);
    if (color[t] != NEUTRAL) {
      piece_list_update(xside, t, LIST_REMOVE);
      material[xside] = static_cast<int16_t>(material[xside] - piece_value[victim]);
      piece_material[xside] = static_cast<int16_t>(piece_material[xside] - piece_value[victim]);
      toggle_man(xside, victim, t);
      moved_count[t]++;
    }
    color[t] = color[f];
    list_index[t] = list_index[f];
    board[t] = static_cast<uint8_t>(promoted);
    pawn_list_update(side, f, LIST_REMOVE);
    add_pawn_attacks(side, f, -1);
    board[f] = NO_PIECE;
    color[f] = NEUTRAL;
    piece_list_update(side, t, LIST_APPEND);
    toggle_pawn_key(side, f);
    material[side] = static_cast<int16_t>(material[side] + piece_value[promoted] - value_pawn);
    piece_material[side] = static_cast<int16_t>(piece_material[side] + piece_value[promoted]);
    toggle_man(side, PAWN, f);
    toggle_man(side, promoted, t);
    moved_count[f]++;
  } else if (flags & CASTLE) {
    record.captured_piece = NO_PIECE;
    record.captured_color = side;
    castle_move(side, f, t, CASTLE_PLAY);
  }
}

void unmake_move(uint8_t side, const Move& move) {
  const int f = move.from, t = move.to;
  const uint32_t flags = move.flags;
  const uint8_t xside = side ^ 1;
  assert(game_index > 0);
  const GameRecord& record = game_record[game_index];

  irreversible_index = record.prev_irreversible;

  if (flags & (QUIET | CAPTURE | EN_PASSANT)) {
    // The mover goes back to its square.
    const int piece = board[t];
    color[f] = color[t];
    board[f] = static_cast<uint8_t>(piece);
    list_index[f] = list_index[t];
    if (piece == PAWN) {
      add_pawn_attacks(side, t, -1);
      add_pawn_attacks(side, f, 1);
    }
    set_list_entry(side, piece, f);

    if (flags & QUIET) {
      flip_quiet_bits(side, piece, f, t);
      moved_count[f]--;
      board[t] = record.captured_piece;
      color[t] = record.captured_color;
    } else if (flags & CAPTURE) {
      const int victim = record.captured_piece;
      flip_capture_bits(side, piece, victim, f, t);
      color[t] = record.captured_color;
      board[t] = static_cast<uint8_t>(victim);
      if (victim == PAWN) {
        pawn_list_update(xside, t, LIST_APPEND);
        add_pawn_attacks(xside, t, 1);
      } else {
        piece_list_update(xside, t, LIST_APPEND);
        piece_material[xside] = static_cast<int16_t>(piece_material[xside] + piece_value[victim]);
      }
      material[xside] = static_cast<int16_t>(material[xside] + piece_value[victim]);
      moved_count[t]--;
      moved_count[f]--;
    } else {
      const int c = en_passant_victim(t);
      flip_en_passant_bits(side, f, t, c);
      board[c] = record.captured_piece;
      color[c] = record.captured_color;
      pawn_list_update(xside, c, LIST_APPEND);
      add_pawn_attacks(xside, c, 1);
      color[t] = NEUTRAL;
      board[t] = NO_PIECE;
      material[xside] = static_cast<int16_t>(material[xside] + piece_value[PAWN]);
    }
  } else if ((flags & PROMOTE) && !(flags & CASTLE)) {
    const int promoted = board[t];
    flip_promotion_bits(side, promoted, record.captured_piece, f, t);
    color[f] = color[t];
    board[f] = PAWN;
    pawn_list_update(side, f, LIST_APPEND);
    piece_list_update(side, t, LIST_REMOVE);
    add_pawn_attacks(side, f, 1);
    material[side] = static_cast<int16_t>(material[side] + value_pawn - piece_value[promoted]);
    piece_material[side] = static_cast<int16_t>(piece_material[side] - piece_value[promoted]);
    board[t] = record.captured_piece;
    color[t] = record.captured_color;
    if (record.captured_color != NEUTRAL) {
      const int victim = record.captured_piece;
      piece_list_update(xside, t, LIST_APPEND);
      material[xside] = static_cast<int16_t>(material[xside] + piece_value[victim]);
      piece_material[xside] = static_cast<int16_t>(piece_material[xside] + piece_value[victim]);
      moved_count[t]--;
    }
    moved_count[f]--;
  } else if (flags & CASTLE) {
    castle_move(side, f, t, CASTLE_TAKE_BACK);
  }

  hash_key = record.prev_hash_key;
  hash_lock = record.prev_hash_lock;
  pawn_key = record.prev_pawn_key;
  ep_square = record.prev_ep_square;
  game_index--;
}
