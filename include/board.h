// The one global position, its constant tables and the hash-key scheme.
#pragma once

#include <cstdint>

#include "constants.h"
#include "types.h"

// --- Position ---------------------------------------------------------------
extern PER_THREAD uint8_t board[SQUARE_COUNT];   // piece code per square
extern PER_THREAD uint8_t color[SQUARE_COUNT];   // colour per square, NEUTRAL where empty
extern uint8_t side_to_move;

// Pieces other than pawns; the king always at index 0.
extern PER_THREAD int8_t piece_list[2][SQUARE_COUNT];
extern PER_THREAD int8_t piece_top[2];
// Pawns at indices 1 .. pawn_count.
extern PER_THREAD int8_t pawn_list[2][SQUARE_COUNT];
extern PER_THREAD int8_t pawn_count[2];
extern PER_THREAD int8_t list_index[SQUARE_COUNT];

extern PER_THREAD int8_t ep_square;              // <= 0 means none
extern PER_THREAD uint16_t moved_count[SQUARE_COUNT];
extern PER_THREAD int16_t castled[2];
extern PER_THREAD int16_t material[2];           // pawns included, king 0
extern PER_THREAD int16_t piece_material[2];     // without pawns
extern PER_THREAD int8_t pawn_attacks[2][SQUARE_COUNT + 1];  // element 64 is a sink
// The same men as square sets (bit s for square s), for the attack test:
// per colour and piece code, and all men together.
extern PER_THREAD uint64_t men_bits[2][PIECE_CODES];
extern PER_THREAD uint64_t occupied_bits;
extern PER_THREAD uint32_t hash_key;
extern PER_THREAD uint32_t hash_lock;
extern PER_THREAD uint32_t pawn_key;
extern PER_THREAD uint8_t last_to_square;
extern PER_THREAD int8_t ply;

// --- Moves ------------------------------------------------------------------
extern PER_THREAD Move move_stack[MOVE_STACK_SIZE];
// Moves of the node at ply p: move_stack[list_start[p]] .. [list_start[p+1] - 1].
extern PER_THREAD uint16_t list_start[PLY_SLOTS + 1];

struct GameRecord {
  uint16_t move_key;
  uint8_t captured_piece;
  uint8_t captured_color;
  uint32_t flags;
  int16_t prev_irreversible;
  uint32_t prev_hash_key;
  uint32_t prev_hash_lock;
  uint32_t prev_pawn_key;
  int8_t prev_ep_square;
};
extern PER_THREAD GameRecord game_record[GAME_RECORD_SIZE];
extern PER_THREAD int16_t game_index;          // last record written; 0 after a reset
extern PER_THREAD int16_t irreversible_index;  // game_index of the last irreversible move

// --- Material values ----------------------------------------------------------
extern int16_t value_pawn, value_knight, value_bishop, value_rook, value_queen;
extern int16_t piece_value[PIECE_CODES];  // material, set at every new game
extern int16_t order_value[PIECE_CODES];  // move ordering

// --- Tables computed at initialisation -------------------------------------------
// hash_codes[colour][piece][square][word]; word 0 feeds hash_key, word 1
// hash_lock (and pawn_key for pawns).
extern uint32_t hash_codes[2][PIECE_CODES][SQUARE_COUNT][2];
extern int16_t distance[SQUARE_COUNT][SQUARE_COUNT];

// Ray tables, heap-allocated by engine_init: next_square[type][origin][square].
using RayTable = uint8_t[SQUARE_COUNT][SQUARE_COUNT];
extern RayTable* next_square;
extern RayTable* next_direction;
