// Playing and taking back moves, every derived table updated incrementally.
#include "board/make_move.h"

#include <cassert>

#include "board.h"
#include "board/bitboards.h"
#include "board/list_update.h"

namespace {

using KeyPair = uint32_t[2];

inline const KeyPair& codes(uint8_t side, int piece, int square) { return hash_codes[side][piece][square]; }

inline void add_pawn_attacks(uint8_t side, int square, int delta) {
  pawn_attacks[side][pawn_attack_9[side][square]] = static_cast<int8_t>(pawn_attacks[side][pawn_attack_9[side][square]] + delta);
  pawn_attacks[side][pawn_attack_7[side][square]] = static_cast<int8_t>(pawn_attacks[side][pawn_attack_7[side][square]] + delta);
}

inline void move_pawn_attacks(uint8_t side, int from, int to) {
  add_pawn_attacks(side, from, -1);
  add_pawn_attacks(side, to, 1);
}

// The list entry of the man now on `square` (list_index already set).
inline void set_list_entry(uint8_t side, int piece, int square) {
  if (piece == PAWN)
    pawn_list[side][list_index[square]] = static_cast<int8_t>(square);
  else
    piece_list[side][list_index[square]] = static_cast<int8_t>(square);
}

inline void put_man(int square, int piece, uint8_t side) {
  board[square] = static_cast<uint8_t>(piece);
  color[square] = side;
}

inline void clear_square(int square) {
  board[square] = NO_PIECE;
  color[square] = NEUTRAL;
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

// The keys are worked on in locals and written back once; stores to the
// byte arrays would otherwise make the compiler reload them.
void make_move(uint8_t side, const Move& move) {
  const int f = move.from, t = move.to;
  const uint32_t flags = move.flags;
  const uint8_t xside = side ^ 1;
  const int piece = board[f];
  const uint8_t mover_color = color[f];
  const int victim = board[t];
  const uint8_t victim_color = color[t];
  const int16_t index = static_cast<int16_t>(game_index + 1);
  uint32_t key = hash_key, lock = hash_lock, pawns = pawn_key;

  assert(index < GAME_RECORD_SIZE);
  GameRecord& record = game_record[index];
  record.move_key = move_key(f, t);
  record.captured_piece = static_cast<uint8_t>(victim);
  record.captured_color = victim_color;
  record.flags = flags;
  record.prev_irreversible = irreversible_index;
  record.prev_hash_key = key;
  record.prev_hash_lock = lock;
  record.prev_pawn_key = pawns;
  record.prev_ep_square = ep_square;
  game_index = index;
  ep_square = -1;
  last_to_square = static_cast<uint8_t>(t);

  if (flags & QUIET) {
    flip_quiet_bits(side, piece, f, t);
    list_index[t] = list_index[f];
    if (piece == PAWN) {
      irreversible_index = index;
      move_pawn_attacks(side, f, t);
      if (t - f == 16) ep_square = static_cast<int8_t>(f + 8);
      if (f - t == 16) ep_square = static_cast<int8_t>(f - 8);
      pawns ^= codes(side, PAWN, f)[1] ^ codes(side, PAWN, t)[1];
    }
    set_list_entry(side, piece, t);
    put_man(t, piece, mover_color);
    clear_square(f);
    key ^= codes(side, piece, f)[0] ^ codes(side, piece, t)[0];
    lock ^= codes(side, piece, f)[1] ^ codes(side, piece, t)[1];
    moved_count[f]++;
  } else if (flags & CAPTURE) {
    irreversible_index = index;
    flip_capture_bits(side, piece, victim, f, t);
    if (victim == PAWN) {
      add_pawn_attacks(xside, t, -1);
      pawns ^= codes(xside, PAWN, t)[1];
      pawn_list_update(xside, t, LIST_REMOVE);
    } else {
      piece_list_update(xside, t, LIST_REMOVE);
      piece_material[xside] = static_cast<int16_t>(piece_material[xside] - piece_value[victim]);
    }
    list_index[t] = list_index[f];
    if (piece == PAWN) {
      move_pawn_attacks(side, f, t);
      pawns ^= codes(side, PAWN, f)[1] ^ codes(side, PAWN, t)[1];
    }
    set_list_entry(side, piece, t);
    material[xside] = static_cast<int16_t>(material[xside] - piece_value[victim]);
    moved_count[t]++;
    put_man(t, piece, mover_color);
    clear_square(f);
    key ^= codes(xside, victim, t)[0] ^ codes(side, piece, f)[0] ^ codes(side, piece, t)[0];
    lock ^= codes(xside, victim, t)[1] ^ codes(side, piece, f)[1] ^ codes(side, piece, t)[1];
    moved_count[f]++;
  } else if (flags & EN_PASSANT) {
    const int c = en_passant_victim(t);
    irreversible_index = index;
    record.captured_piece = PAWN;
    record.captured_color = xside;
    flip_en_passant_bits(side, f, t, c);
    pawn_list_update(xside, c, LIST_REMOVE);
    clear_square(c);
    add_pawn_attacks(xside, c, -1);
    move_pawn_attacks(side, f, t);
    pawns ^= codes(xside, PAWN, c)[1] ^ codes(side, PAWN, f)[1] ^ codes(side, PAWN, t)[1];
    put_man(t, piece, mover_color);
    list_index[t] = list_index[f];
    clear_square(f);
    pawn_list[side][list_index[t]] = static_cast<int8_t>(t);
    material[xside] = static_cast<int16_t>(material[xside] - piece_value[PAWN]);
    key ^= codes(xside, PAWN, c)[0] ^ codes(side, PAWN, f)[0] ^ codes(side, PAWN, t)[0];
    lock ^= codes(xside, PAWN, c)[1] ^ codes(side, PAWN, f)[1] ^ codes(side, PAWN, t)[1];
  } else if ((flags & PROMOTE) && !(flags & CASTLE)) {
    const int promoted = static_cast<int>(flags & PROMO_MASK);
    irreversible_index = index;
    flip_promotion_bits(side, promoted, victim, f, t);
    if (victim_color != NEUTRAL) {
      piece_list_update(xside, t, LIST_REMOVE);
      material[xside] = static_cast<int16_t>(material[xside] - piece_value[victim]);
      piece_material[xside] = static_cast<int16_t>(piece_material[xside] - piece_value[victim]);
      key ^= codes(xside, victim, t)[0];
      lock ^= codes(xside, victim, t)[1];
      moved_count[t]++;
    }
    list_index[t] = list_index[f];
    put_man(t, promoted, mover_color);
    pawn_list_update(side, f, LIST_REMOVE);
    add_pawn_attacks(side, f, -1);
    clear_square(f);
    piece_list_update(side, t, LIST_APPEND);
    pawns ^= codes(side, PAWN, f)[1];
    material[side] = static_cast<int16_t>(material[side] + piece_value[promoted] - value_pawn);
    piece_material[side] = static_cast<int16_t>(piece_material[side] + piece_value[promoted]);
    key ^= codes(side, PAWN, f)[0] ^ codes(side, promoted, t)[0];
    lock ^= codes(side, PAWN, f)[1] ^ codes(side, promoted, t)[1];
    moved_count[f]++;
  } else if (flags & CASTLE) {
    record.captured_piece = NO_PIECE;
    record.captured_color = side;
    // Castling updates the keys itself.
    castle_move(side, f, t, CASTLE_PLAY);
    return;
  }
  hash_key = key;
  hash_lock = lock;
  pawn_key = pawns;
}

// The keys and the en-passant square are copied back, never recomputed.
void unmake_move(uint8_t side, const Move& move) {
  const int f = move.from, t = move.to;
  const uint32_t flags = move.flags;
  const uint8_t xside = side ^ 1;
  const int index = game_index;
  assert(index > 0);
  const GameRecord& record = game_record[index];
  const int victim = record.captured_piece;
  const uint8_t victim_color = record.captured_color;
  const int piece = board[t];
  const uint8_t mover_color = color[t];

  irreversible_index = record.prev_irreversible;
  hash_key = record.prev_hash_key;
  hash_lock = record.prev_hash_lock;
  pawn_key = record.prev_pawn_key;
  ep_square = record.prev_ep_square;
  game_index = static_cast<int16_t>(index - 1);

  if (flags & (QUIET | CAPTURE | EN_PASSANT)) {
    // The mover goes back to its square.
    put_man(f, piece, mover_color);
    list_index[f] = list_index[t];
    if (piece == PAWN) move_pawn_attacks(side, t, f);
    set_list_entry(side, piece, f);

    if (flags & QUIET) {
      flip_quiet_bits(side, piece, f, t);
      moved_count[f]--;
      put_man(t, victim, victim_color);
    } else if (flags & CAPTURE) {
      flip_capture_bits(side, piece, victim, f, t);
      put_man(t, victim, victim_color);
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
      put_man(c, victim, victim_color);
      pawn_list_update(xside, c, LIST_APPEND);
      add_pawn_attacks(xside, c, 1);
      clear_square(t);
      material[xside] = static_cast<int16_t>(material[xside] + piece_value[PAWN]);
    }
  } else if ((flags & PROMOTE) && !(flags & CASTLE)) {
    flip_promotion_bits(side, piece, victim, f, t);
    put_man(f, PAWN, mover_color);
    pawn_list_update(side, f, LIST_APPEND);
    piece_list_update(side, t, LIST_REMOVE);
    add_pawn_attacks(side, f, 1);
    material[side] = static_cast<int16_t>(material[side] + value_pawn - piece_value[piece]);
    piece_material[side] = static_cast<int16_t>(piece_material[side] - piece_value[piece]);
    put_man(t, victim, victim_color);
    if (victim_color != NEUTRAL) {
      piece_list_update(xside, t, LIST_APPEND);
      material[xside] = static_cast<int16_t>(material[xside] + piece_value[victim]);
      piece_material[xside] = static_cast<int16_t>(piece_material[xside] + piece_value[victim]);
      moved_count[t]--;
    }
    moved_count[f]--;
  } else if (flags & CASTLE) {
    castle_move(side, f, t, CASTLE_TAKE_BACK);
  }
}
