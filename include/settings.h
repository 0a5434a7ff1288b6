// Engine settings (UCI options, command line) and the limits of the current go.
#pragma once

#include <cstdint>

// --- Options ------------------------------------------------------------------
extern uint32_t hash_mask;            // entries per transposition table - 1
extern uint32_t score_table_entries;
extern int32_t hash_megabytes;
extern int32_t new_ponder;            // 0 off, 1 on, 2 on with a ponder move
extern uint8_t use_engine_book;
extern uint8_t learn_enabled;
extern int32_t multipv_lines;
extern int32_t multipv_exact;
extern uint8_t chess_knowledge;       // 0 none, 1 normal, 2 max
extern int8_t matt_in;                // mate depth in moves
extern int16_t contempt;
extern uint32_t stop_after_nodes;     // acts as stop once the search has made this many nodes; 0 never
extern uint8_t zugzwang_safe;         // a defender's null move may not hide a mate
extern int32_t thread_count;          // the Threads option: search threads, 1 .. 256
extern uint8_t mate_solver;           // the proof-number solver works beside every search
extern uint8_t obey_limits;           // go movetime, go nodes and the clock end the search
// GaviotaTbPath: folders of endgame tables separated by ';', "" for none;
// GaviotaTbCache: the probing library's cache in megabytes.
constexpr int TB_PATH_SIZE = 4096;
extern char gaviota_tb_path[TB_PATH_SIZE];
extern int32_t gaviota_tb_cache;
constexpr int32_t TB_CACHE_DEFAULT = 8;
constexpr int32_t TB_CACHE_MAX = 1024;
// Unannounced options a GUI may still send: accepted and kept, with no
// effect on this engine's search.
extern int32_t style, selectivity, extensions, combination_search;

// --- Process state --------------------------------------------------------------
extern uint8_t quit_requested;
extern int32_t engine_ready;          // engine_init has run

// --- Limits written by go -----------------------------------------------------------
enum : uint8_t {
  TM_CLOCK = 1,
  TM_MOVETIME = 3,
  TM_DEPTH = 4,
  TM_MOVESTOGO = 5,
  TM_INFINITE = 7
};
extern uint8_t time_mode;
extern uint8_t depth_limit;           // deepest iteration the root may start
extern int8_t go_mate_moves;          // "go mate N": the mate limit of this search, 0 none
extern uint8_t pondering;
extern uint8_t clock_active;
// With Obey_Limits: the time (ms from go) and the node count at which this
// search ends; 0 for none.
extern int32_t search_time_limit_ms;
extern uint32_t search_node_limit;

// Defaults given by main before the command line is read.
constexpr uint32_t DEFAULT_HASH_ENTRIES = 131072;
constexpr uint32_t DEFAULT_SCORE_ENTRIES = 100000;
