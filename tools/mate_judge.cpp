// The judge's search: every attacker move, every defence, the results of
// each position kept so that transpositions cost once. Only a checking move
// can mate at once, which spares the mate test of the others.
#include "tools/mate_judge.h"

#include <cstring>

namespace {

std::string key_of(const rules::Position& pos) {
  std::string key(68, '\0');
  for (int rank = 0; rank < 8; rank++)
    for (int file = 0; file < 8; file++) key[rank * 8 + file] = static_cast<char>(pos.cell[rules::cell_of(file, rank)]);
  key[64] = static_cast<char>(pos.side);
  key[65] = static_cast<char>(pos.castle[0] | pos.castle[1] << 1 | pos.castle[2] << 2 | pos.castle[3] << 3);
  key[66] = static_cast<char>(pos.ep);
  return key;
}

bool mated_now(const rules::Position& pos) { return rules::in_check(pos) && rules::checkmate(pos); }

}  // namespace

bool MateJudge::defence_loses(const rules::Position& after, int moves) {
  rules::MoveList defences;
  rules::legal_moves(after, &defences);
  if (defences.count == 0) return rules::in_check(after);
  if (moves < 1) return false;
  for (int i = 0; i < defences.count; i++) {
    rules::Position next = after;
    rules::play_move(&next, defences.moves[i]);
    if (!mates(next, moves)) return false;
  }
  return true;
}

bool MateJudge::move_mates(const rules::Position& pos, const rules::Move& move, int moves) {
  if (moves < 1) return false;
  rules::Position after = pos;
  rules::play_move(&after, move);
  positions_++;
  if (moves == 1) return mated_now(after);
  return defence_loses(after, moves - 1);
}

bool MateJudge::mates(const rules::Position& pos, int moves) {
  if (moves < 1) return false;
  const std::string key = key_of(pos);
  Known& seen = known_[key];
  if (seen.mates_within != 0 && seen.mates_within <= moves) return true;
  if (seen.holds_beyond >= moves) return false;
  // Shorter mates first: most positions that mate at all mate soon.
  if (moves > 1 && mates(pos, moves - 1)) return true;
  rules::MoveList list;
  rules::legal_moves(pos, &list);
  bool found = false;
  for (int i = 0; i < list.count && !found; i++) found = move_mates(pos, list.moves[i], moves);
  Known& entry = known_[key];  // the map may have grown meanwhile
  if (found) {
    if (entry.mates_within == 0 || moves < entry.mates_within) entry.mates_within = static_cast<int8_t>(moves);
  } else if (moves > entry.holds_beyond) {
    entry.holds_beyond = static_cast<int8_t>(moves);
  }
  return found;
}

bool MateJudge::is_mated(const rules::Position& pos, int moves) {
  rules::MoveList list;
  rules::legal_moves(pos, &list);
  if (list.count == 0) return rules::in_check(pos);
  for (int i = 0; i < list.count; i++) {
    rules::Position after = pos;
    rules::play_move(&after, list.moves[i]);
    if (!mates(after, moves)) return false;
  }
  return true;
}

bool find_rules_move(const rules::Position& pos, const char* text, rules::Move* move) {
  rules::MoveList list;
  rules::legal_moves(pos, &list);
  for (int i = 0; i < list.count; i++) {
    char candidate[rules::MOVE_TEXT_SIZE];
    rules::move_text(list.moves[i], candidate);
    if (std::strcmp(candidate, text) == 0) {
      *move = list.moves[i];
      return true;
    }
  }
  return false;
}
