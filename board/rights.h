// Castling rights and the en-passant square: the position's keys leave them
// out, yet they change which moves exist, so every table whose entries
// decide a result keys on them too.
#pragma once

#include <cstdint>

#include "board.h"

// The rights of the position as one byte, exact: bits 0..3 the castling
// rights (white short, white long, black short, black long), bits 4..7 the
// file + 1 of an en-passant square that a pawn of the side to move attacks
// (0 when none, so a square no pawn can take on makes no difference).
// RIGHTS_ANY is never the byte of a position.
constexpr uint8_t RIGHTS_ANY = 0xFF;

inline uint8_t rights_tag() {
  uint32_t tag = 0;
  if (ep_square > 0) {
    // A pawn that just passed the third rank is black's to take.
    const uint8_t taker = rank_of(ep_square) == 2 ? BLACK : WHITE;
    if (pawn_attacks[taker][ep_square] != 0) tag = static_cast<uint32_t>(file_of(ep_square) + 1) << 4;
  }
  if (castled[WHITE] == 0 && moved_count[4] == 0)
    tag |= (moved_count[7] == 0 ? 1u : 0u) | (moved_count[0] == 0 ? 2u : 0u);
  if (castled[BLACK] == 0 && moved_count[60] == 0)
    tag |= (moved_count[63] == 0 ? 4u : 0u) | (moved_count[56] == 0 ? 8u : 0u);
  return static_cast<uint8_t>(tag);
}

// Whether a side may still castle somewhere.
inline bool castling_possible() { return (rights_tag() & 0x0F) != 0; }

// What a table of proofs mixes into the position's keys: the rights, and
// the role of the node (who moves, for which attacker), so that no two of
// them share an entry.
inline uint32_t rights_and_role(uint32_t role) { return rights_tag() * 0x9E3779B1u ^ role * 0x85EBCA77u; }
