// Copying the position between search threads.
#include "board/position_copy.h"

#include <cstring>

// The arrays of the position, copied alike both ways.
#define POSITION_FIELDS(X)                                                                                           \
  X(board) X(color) X(piece_list) X(piece_top) X(pawn_list) X(pawn_count) X(list_index) X(moved_count) X(castled) \
  X(material) X(piece_material) X(pawn_attacks) X(men_bits) X(game_record)

void copy_position(PositionCopy* out) {
#define COPY_OUT(name) std::memcpy(out->name, name, sizeof(out->name));
  POSITION_FIELDS(COPY_OUT)
#undef COPY_OUT
  out->ep_square = ep_square;
  out->occupied_bits = occupied_bits;
  out->hash_key = hash_key;
  out->hash_lock = hash_lock;
  out->pawn_key = pawn_key;
  out->last_to_square = last_to_square;
  out->game_index = game_index;
  out->irreversible_index = irreversible_index;
}

void set_position(const PositionCopy& in) {
#define COPY_IN(name) std::memcpy(name, in.name, sizeof(in.name));
  POSITION_FIELDS(COPY_IN)
#undef COPY_IN
  ep_square = in.ep_square;
  occupied_bits = in.occupied_bits;
  hash_key = in.hash_key;
  hash_lock = in.hash_lock;
  pawn_key = in.pawn_key;
  last_to_square = in.last_to_square;
  game_index = in.game_index;
  irreversible_index = in.irreversible_index;
}
