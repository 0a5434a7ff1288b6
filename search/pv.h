// Principal variations read back from the transposition table.
#pragma once

#include <cstdint>

#include "types.h"

// Index 1 holds the root move; a 0 move ends the line. The walk writes moves
// up to index 96 and the terminator at most at 97.
constexpr int PV_SLOTS = PLY_SLOTS;
constexpr int PV_LAST_MOVE_INDEX = 96;

extern uint16_t pv_line[PV_SLOTS];      // from << 6 | to
extern uint16_t pv_flags[PV_SLOTS + 1];  // low half of each move's flags
extern uint32_t pv_lock[PV_SLOTS];      // hash_lock before each move

// A line as it is printed: index 1 holds the root move, a 0 move ends it,
// and every move keeps its flags so that a promotion shows its piece. Only
// an exact line is a proven mate of its score; a bound shows the root move.
enum : uint8_t { SHOWN_NONE = 0, SHOWN_EXACT = 1, SHOWN_LOWER = 2, SHOWN_UPPER = 3 };
struct ShownLine {
  uint16_t moves[PV_SLOTS];
  uint16_t flags[PV_SLOTS + 1];
  int16_t score;
  uint8_t kind;  // SHOWN_*
};

// One root line of a MultiPV search.
struct MultiPvLine {
  uint16_t moves[PV_SLOTS];
  int16_t score;
  uint16_t flags[PV_SLOTS + 1];
  uint32_t locks[PV_SLOTS];
  ShownLine shown;  // what is printed for a mate score
};
constexpr int MULTIPV_RECORDS = 64;
extern MultiPvLine multipv_records[MULTIPV_RECORDS];
// The keys shown by a search for every key, in the first records; 0 in
// any other search.
extern int key_lines_shown;

// Fills pv_line / pv_flags from index i on by walking the table from the
// current position (side to move `side`), and ends the line with a 0 move.
void pv_from_table(uint8_t side, int i);
// The same for MultiPV record k, accepting only entries whose score agrees
// with the record's score.
void multipv_from_table(uint8_t side, int i, int k);
