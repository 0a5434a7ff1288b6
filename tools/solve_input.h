// The problems solve is given: a FEN and a number of moves from the command
// line, or the lines of an EPD file, each checked before the engine sees it.
#pragma once

#include <cstdio>

constexpr int SOLVE_FEN_SIZE = 128;
constexpr int SOLVE_WHY_SIZE = 160;
// The tree's plies and a proof's below its deepest node share the move
// stack's MAX_PLY slices, two per move.
constexpr int MAX_SOLVE_MOVES = 40;

struct SolveProblem {
  int line;  // in the file, from 1; 0 for the command line
  char fen[SOLVE_FEN_SIZE];
  int moves;
};

// The problem of the command line; false, with the reason in `why`, when
// the FEN or the number is refused.
bool problem_from_arguments(const char* fen, const char* moves, SolveProblem* problem, char* why);

struct EpdReader {
  std::FILE* file;
  int line;
};

enum ReadResult { READ_PROBLEM, READ_BAD, READ_END };

// False when the file cannot be opened.
bool epd_open(EpdReader* reader, const char* path);
void epd_close(EpdReader* reader);
// The next line that is no comment or blank: READ_PROBLEM, or READ_BAD with
// the reason in `why` (problem->line tells the line either way).
ReadResult epd_next(EpdReader* reader, SolveProblem* problem, char* why);

// Sets the problem's position up on the engine's board; false, with the
// reason, for a position the engine refuses.
bool set_up_problem(const SolveProblem& problem, char* why);
