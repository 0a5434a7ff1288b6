// The command line of mate-suite: read once by main into `settings`, which
// every part of the run then reads.
#pragma once

#include <vector>

constexpr int MAX_OPTIONS = 64;

struct SuiteSettings {
  const char* engine = nullptr;  // --engine, else the tervalk beside this tool
  int ms = 1000;
  const char* csv = nullptr;
  long first = 0;  // 0: every position
  int shard = 1;   // --shard shard/shards
  int shards = 1;
  int jobs = 1;
  const char* claims = nullptr;  // --claim: the folder where copies claim problems
  const char* options[MAX_OPTIONS];
  int option_count = 0;
  std::vector<const char*> inputs;  // the EPD file, or with --merge the CSV files
  const char* epd = nullptr;
  bool merge = false;
  bool quiet = false;  // no progress counter, no notes on skipped lines
  bool new_game_each = false;
  bool matt_in_known = false;
  bool go_mate = false;
  bool shorter = false;
};

extern SuiteSettings settings;

// Prints the usage and gives the exit code of a command line refused.
int usage();

// False for a command line refused; a bad --shard or --jobs is noted too.
bool read_settings(int argc, char** argv);
