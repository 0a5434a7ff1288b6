// The engine's own generator decides what is legal, so a book built here
// holds exactly the positions (and hash_lock keys) the engine will meet.
#include "tools/book_replay.h"

#include <cstdint>
#include <cstring>

#include "board.h"
#include "board/make_move.h"
#include "protocol/game_setup.h"
#include "tools/book_table.h"
#include "tools/san.h"

namespace {

constexpr int SETBOARD_SIZE = PGN_FEN_SIZE + 16;

uint16_t rating_of(int32_t elo) {
  if (elo < 0) return BOOK_DEFAULT_ELO;
  return static_cast<uint16_t>(elo > 65535 ? 65535 : elo);
}

// A game that returns to a position counts for it once.
struct SeenPosition {
  uint32_t key;
  uint8_t side;
};

bool seen_before(const SeenPosition* seen, int count, uint32_t key, uint8_t side) {
  for (int i = 0; i < count; i++)
    if (seen[i].key == key && seen[i].side == side) return true;
  return false;
}

// new_game also clears the transposition tables' ages, far more work than
// replaying a game; a board that is back at the start needs none of it.
bool at_start_position() {
  if (game_index != 0 || side_to_move != WHITE || castled[WHITE] != 0 || castled[BLACK] != 0 || ep_square > 0)
    return false;
  if (std::memcmp(board, initial_board.data(), sizeof(board)) != 0 ||
      std::memcmp(color, initial_color.data(), sizeof(color)) != 0)
    return false;
  for (const uint16_t count : moved_count)
    if (count != 0) return false;
  return true;
}

bool set_up_start(const PgnGame& game, const char* source, long game_number, std::FILE* report) {
  if (!game.has_fen) {
    if (!at_start_position()) new_game();
    if (!game.setup_flag) return true;
    std::fprintf(report, "%s: game %ld: SetUp without a FEN tag; game skipped\n", source, game_number);
    return false;
  }
  new_game();
  char text[SETBOARD_SIZE];
  std::snprintf(text, sizeof(text), "setboard %s", game.fen);
  if (setup_fen(text) == 1) return true;
  new_game();
  std::fprintf(report, "%s: game %ld: position \"%s\" refused; game skipped\n", source, game_number, game.fen);
  return false;
}

}  // namespace

int add_game_to_book(const PgnGame& game, int plies, const char* source, long game_number, std::FILE* report) {
  if (game.result == RESULT_NONE) return 0;
  if (plies > MAX_GAME_MOVES) plies = MAX_GAME_MOVES;
  if (!set_up_start(game, source, game_number, report)) return 0;

  const uint16_t white_elo = rating_of(game.white_elo);
  const uint16_t black_elo = rating_of(game.black_elo);
  static SeenPosition seen[MAX_GAME_MOVES];
  static Move played[MAX_GAME_MOVES];
  int counted = 0;
  const uint8_t first_side = side_to_move;
  uint8_t side = first_side;
  int made = 0;
  const int last = game.move_count < plies ? game.move_count : plies;
  for (int k = 0; k < last; k++) {
    Move move;
    const int verdict = find_san_move(side, game.moves[k], &move);
    if (verdict != SAN_FOUND) {
      std::fprintf(report, "%s: game %ld: %s \"%s\" at ply %d; rest of the game skipped\n", source, game_number,
                   san_verdict_name(verdict), game.moves[k], k + 1);
      break;
    }
    make_move(side, move);
    played[made++] = move;
    side ^= 1;
    side_to_move = side;
    const bool repeated = seen_before(seen, k, hash_lock, side);
    seen[k] = {hash_lock, side};
    if (!repeated && book_table_add(hash_lock, side, game.result, white_elo, black_elo)) counted++;
  }
  // Back to where the game started, so that the next one may start there.
  while (made > 0) {
    side ^= 1;
    unmake_move(side, played[--made]);
  }
  side_to_move = first_side;
  return counted;
}
