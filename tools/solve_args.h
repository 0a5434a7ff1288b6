// The command line of solve: read once by main into solve_settings, which
// the rest of the tool reads.
#pragma once

#include <cstdint>

struct SolveSettings {
  const char* fen = nullptr;    // a problem given on the command line...
  const char* moves = nullptr;  // ...with its number of moves, as typed
  const char* epd = nullptr;    // or a file of problems
  bool json = false;
  bool tries = false;
  double seconds = 0;    // --time per problem; 0: no limit
  int threads = 1;       // accepted; the proof runs on one thread
  int32_t hash_mb = 32;  // the solver's table
};

extern SolveSettings solve_settings;

// Prints the usage to stderr and gives the exit status of a command line refused.
int solve_usage();

// False, with a note on stderr, for a command line refused.
bool read_solve_settings(int argc, char** argv);
