// Storage of the engine settings and the go limits.
#include "settings.h"

uint32_t hash_mask = DEFAULT_HASH_ENTRIES - 1;
uint32_t score_table_entries = DEFAULT_SCORE_ENTRIES;
int32_t hash_megabytes = 16;
int32_t new_ponder;
uint8_t use_engine_book;
uint8_t learn_enabled;
int32_t multipv_lines = 1;
int32_t multipv_exact = 1;
uint8_t chess_knowledge = 1;
int8_t matt_in = 15;
int16_t contempt;
uint32_t stop_after_nodes;
uint8_t zugzwang_safe;
int32_t thread_count = 1;
uint8_t mate_solver;
uint8_t obey_limits;
char gaviota_tb_path[TB_PATH_SIZE];
int32_t gaviota_tb_cache = TB_CACHE_DEFAULT;
int32_t search_time_limit_ms;
uint32_t search_node_limit;
int32_t style, selectivity, extensions, combination_search;

uint8_t quit_requested;
int32_t engine_ready;

uint8_t time_mode = TM_CLOCK;
uint8_t depth_limit = 98;
int8_t go_mate_moves;
uint8_t pondering;
uint8_t clock_active;
