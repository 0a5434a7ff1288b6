// The proof-number solver: a depth-first proof-number search (df-pn) for a
// mate of the side to move within a number of moves. Best-first, it follows
// the narrow forcing lines that an alpha-beta search spreads its effort
// over. Every move of both sides is considered, nothing is pruned, so what
// it proves or disproves holds on the board (repetitions aside, which a
// bounded mate never needs). It runs in turns: a turn ends on a node budget
// or a clock limit and the next one resumes from the table.
#pragma once

#include <cstdint>

#include "types.h"

enum SolverState : uint8_t { SOLVER_OPEN = 0, SOLVER_MATE = 1, SOLVER_NO_MATE = 2, SOLVER_IDLE = 3 };

// A new job for the position on the board, with `attacker` to move: a mate
// within `moves` moves. The solver generates into the move-stack slices from
// `first_ply` on, so the lists below it must end where that slice starts.
void solver_start(uint8_t attacker, int moves, int first_ply);
// A job for one first move `key` of `attacker` (legal in the position on
// the board): whether it mates within `moves` moves, the key counted. Only
// positions after the key enter the table, so what it settles holds for
// every later job too. The board stays at the position before the key.
void solver_start_key(uint8_t attacker, const Move& key, int moves, int first_ply);
// The limit a job for `moves` moves gets: the move stack bounds it.
int solver_reach(int moves, int first_ply);
// Works on the job until it is settled or its turn is over: the search
// stopped, `moves_budget` moves made (NO_MOVE_LIMIT: none), or elapsed
// (centiseconds) reaching `until_cs` (the rule of WorkBudget).
SolverState solver_run(uint32_t moves_budget, int32_t until_cs);
// Ends the job unsettled: there is nothing left for it to find.
void solver_idle();
SolverState solver_state();
int solver_limit();
// After SOLVER_MATE: the first move of the proof and the proof's distance
// in moves (at most the limit).
Move solver_mating_move();
int solver_mate_distance();

// A job: what it is for and what it found. Each thread's solver has one; a
// job run in the middle of another (a claim's proof) takes the marks of the
// one it interrupts and gives them back afterwards.
struct SolverJob {
  uint8_t attacker;
  int limit;
  int8_t root_ply;
  SolverState state;
  bool key_job;  // for one given first move
  Move mating_move;
  int proven_distance;
};
SolverJob solver_job_marks();
void restore_solver_job(const SolverJob& marks);
