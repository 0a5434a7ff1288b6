// Storage of the principal variations.
#include "search/pv.h"

uint16_t pv_line[PV_SLOTS];
uint16_t pv_flags[PV_SLOTS + 1];
uint32_t pv_lock[PV_SLOTS];
MultiPvLine multipv_records[MULTIPV_RECORDS];
int key_lines_shown;
