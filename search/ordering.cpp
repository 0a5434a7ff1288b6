// Storage of the move-ordering tables.
#include "search/ordering.h"

uint16_t killer1[PLY_SLOTS];
uint16_t killer2[PLY_SLOTS];
uint16_t mate_killer[PLY_SLOTS];
int16_t* history[2] = {nullptr, nullptr};
