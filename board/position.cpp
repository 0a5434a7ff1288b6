// Storage of the one global position.
#include "board.h"

PER_THREAD uint8_t board[SQUARE_COUNT];
PER_THREAD uint8_t color[SQUARE_COUNT];
uint8_t side_to_move;

PER_THREAD int8_t piece_list[2][SQUARE_COUNT];
PER_THREAD int8_t piece_top[2];
PER_THREAD int8_t pawn_list[2][SQUARE_COUNT];
PER_THREAD int8_t pawn_count[2];
PER_THREAD int8_t list_index[SQUARE_COUNT];

PER_THREAD int8_t ep_square;
PER_THREAD uint16_t moved_count[SQUARE_COUNT];
PER_THREAD int16_t castled[2];
PER_THREAD int16_t material[2];
PER_THREAD int16_t piece_material[2];
PER_THREAD int8_t pawn_attacks[2][SQUARE_COUNT + 1];
PER_THREAD uint64_t men_bits[2][PIECE_CODES];
PER_THREAD uint64_t occupied_bits;
PER_THREAD uint32_t hash_key;
PER_THREAD uint32_t hash_lock;
PER_THREAD uint32_t pawn_key;
PER_THREAD uint8_t last_to_square;
PER_THREAD int8_t ply;

PER_THREAD Move move_stack[MOVE_STACK_SIZE] = {};
PER_THREAD uint16_t list_start[PLY_SLOTS + 1];

PER_THREAD GameRecord game_record[GAME_RECORD_SIZE] = {};
PER_THREAD int16_t game_index;
PER_THREAD int16_t irreversible_index;

int16_t value_pawn, value_knight, value_bishop, value_rook, value_queen;
int16_t piece_value[PIECE_CODES];
int16_t order_value[PIECE_CODES];

uint32_t hash_codes[2][PIECE_CODES][SQUARE_COUNT][2];
int16_t distance[SQUARE_COUNT][SQUARE_COUNT];

RayTable* next_square = nullptr;
RayTable* next_direction = nullptr;
