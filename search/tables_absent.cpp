// A build without the endgame tables' probing library: no table is ever
// open, and a path set says so.
#include <cstdio>

#include "search/tables.h"

int tables_men;

void tables_close() { tables_men = 0; }

void tables_open(const char* folders, int32_t /*cache_megabytes*/) {
  if (folders[0] == '\0') return;
  std::fputs("info string GaviotaTbPath: this build has no endgame tables, tables off\n", stdout);
  std::fflush(stdout);
}

bool tables_probe(uint8_t /*side*/, TableResult* /*result*/) { return false; }
