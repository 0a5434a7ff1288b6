// The bestmove line, and after an ordinary search the move played on the
// engine's own board with the turn passed on.
#include <cstdio>
#include <cstring>

#include "board.h"
#include "board/attacks.h"
#include "board/make_move.h"
#include "board/notation.h"
#include "driver/learn_store.h"
#include "driver/root_search.h"
#include "driver/shown_line.h"
#include "protocol/poll.h"
#include "protocol/search_info.h"
#include "search/pv.h"
#include "search_control.h"
#include "search_state.h"
#include "settings.h"

namespace {

constexpr int GAME_MOVE_LIMIT = 700;  // no draw claims or turn changes beyond it

uint16_t ponder_flags;

// The line last shown for the best move, when its score is still the one
// that line was built for (a stopped search may leave a score that no line
// stands for, such as an ordering score).
bool shown_line_stands(const Move& best) {
  return shown_best.kind != SHOWN_NONE && shown_best.moves[1] == move_key(best.from, best.to) &&
         shown_best.flags[1] == static_cast<uint16_t>(best.flags) && shown_best_claim == best.score;
}

void choose_ponder_move(const Move& best) {
  ponder_move = 0;
  ponder_flags = 0;
  if (best.flags & PROMOTE) return;
  if (shown_line_stands(best) && shown_best.score > MATE_BOUND) {
    // A mate: the reply its proven line expects, with its promotion piece.
    if (shown_best.kind == SHOWN_EXACT) {
      ponder_move = shown_best.moves[2];
      ponder_flags = shown_best.flags[2];
    }
    return;
  }
  if (best.score > MATE_BOUND) return;  // a mate claim without its line names no reply
  ponder_move = pv_line[1] != 0 ? pv_line[2] : 0;
  ponder_flags = pv_flags[2];
}

void print_bestmove(const Move& best, bool has_move) {
  char line[64];
  if (!has_move) {
    std::strcpy(line, "bestmove 0000");
  } else {
    format_move(best.from, best.to, best.flags);
    std::snprintf(line, sizeof(line), "bestmove %s", move_text[0]);
    if (ponder_move != 0) {
      format_move(key_from(ponder_move), key_to(ponder_move), ponder_flags);
      std::strncat(line, " ponder ", sizeof(line) - std::strlen(line) - 1);
      std::strncat(line, move_text[0], sizeof(line) - std::strlen(line) - 1);
    }
  }
  std::printf("%s\n", line);
  std::fflush(stdout);
}

}  // namespace

void end_of_search(uint8_t side, int best_index) {
  Move& best = move_stack[best_index];
  const bool has_move = legal_root_moves > 0;

  if (pondering || time_mode == TM_INFINITE) {
    print_bestmove(best, has_move);
    return;
  }

  // A mate in one keeps its marks; no legal move is a draw unless in check.
  if (best.score == mated_at_ply(1)) {
    if (!in_check(side)) best.flags |= DRAW_MARK;
  } else if (best.score != mate_in(1) && game_index == GAME_MOVE_LIMIT) {
    best.flags |= DRAW_MARK;
  }

  if (!book_move_chosen) {
    choose_ponder_move(best);
  } else {
    poll_input(POLL_CLOCK_ONLY);
  }

  const bool lost = (legal_root_moves == 0 || (best.score <= mated_at_ply(1) && !(best.flags & DRAW_MARK))) &&
                    legal_root_moves != 1 && !book_move_chosen;
  // A full game record takes no further moves; the line is still printed.
  const bool record_full = game_index >= MAX_GAME_MOVES;
  if (!lost && !record_full) {
    learn_store(side, best);
    make_move(side, best);
    if (key_lines_shown > 0)
      report_keys();
    else if (shown_line_stands(best))
      report_search(shown_best);
  }

  print_bestmove(best, has_move);

  // A side that resigns in check keeps the turn: passed on, it would let the
  // other side take its king, which the board's lists cannot hold.
  const bool resigned_in_check = lost && in_check(side);
  if (!(best.flags & DRAW_MARK) && game_index != GAME_MOVE_LIMIT && !(record_full && !lost) && !resigned_in_check)
    side_to_move ^= 1;
  iteration_depth = 0;
}
