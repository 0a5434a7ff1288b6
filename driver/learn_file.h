// The learning file in the working directory: its handle, its record count
// and switching learning on and off.
#pragma once

#include <cstdint>
#include <cstdio>

constexpr const char* LEARN_FILE_NAME = "KORWEN.LRN";
constexpr int LEARN_RECORD_SIZE = 16;

extern std::FILE* learn_file;   // open while learn_enabled is set
extern uint32_t learn_count;    // records in use, header included
// Set when the header's count was beyond any file of this engine: appends
// then start over at record 1 instead of following the file's last record.
extern bool learn_starting_over;

// Sets learn_enabled and opens the file, creating it with a header of count 1
// when it is missing, then loads it. A file that can be neither opened nor
// created leaves learning off. While the file is open it is only loaded again.
void learn_switch_on();
// Closes the file and clears learn_enabled.
void learn_switch_off();

// Reads the count and fills the transposition tables from the file (when allocated).
void learn_load();
