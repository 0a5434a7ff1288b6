// The check of a solution's tree, move by move on rules::Position.
#include "tools/solution_judge.h"

#include <algorithm>
#include <vector>

namespace {

using Texts = std::vector<std::string>;

MateJudge* judge;
SolutionFacts* facts;

std::string text_of(const rules::Move& m) {
  char text[rules::MOVE_TEXT_SIZE];
  rules::move_text(m, text);
  return text;
}

// The legal moves of `pos` that pass `keep`, as sorted texts.
template <typename Keep>
Texts moves_where(const rules::Position& pos, Keep keep) {
  rules::MoveList list;
  rules::legal_moves(pos, &list);
  Texts texts;
  for (int i = 0; i < list.count; i++)
    if (keep(list.moves[i])) texts.push_back(text_of(list.moves[i]));
  std::sort(texts.begin(), texts.end());
  return texts;
}

std::string move_of(const JsonValue& item) {
  const JsonValue* move = item.get("move");
  return move != nullptr ? move->text : "?";
}

// The "move" texts of an array of objects (or the strings of an array), sorted.
Texts listed(const JsonValue* array, bool objects) {
  Texts texts;
  if (array == nullptr) return texts;
  for (const JsonValue& item : array->items) {
    texts.push_back(objects ? move_of(item) : item.text);
  }
  std::sort(texts.begin(), texts.end());
  return texts;
}

std::string joined(const Texts& texts) {
  std::string s;
  for (const std::string& t : texts) s += (s.empty() ? "" : " ") + t;
  return "[" + s + "]";
}

std::string differ(const char* what, const std::string& where, const Texts& got, const Texts& want) {
  return got == want ? "" : where + ": " + what + " " + joined(got) + ", the rules say " + joined(want);
}

// The position after `move`; *legal false when it is no legal move there.
rules::Position after(const rules::Position& pos, const std::string& move, bool* legal = nullptr) {
  rules::Position next = pos;
  const bool played = rules::play(&next, move.c_str());
  if (legal != nullptr) *legal = played;
  return next;
}


// The threat: what mates within `left` if the defender of `pos` could pass.
std::string judge_threat(const rules::Position& pos, int left, const JsonValue& node, const std::string& where) {
  const JsonValue* threat = node.get("threat");
  if (threat == nullptr) return where + ": no threat field";
  if (rules::in_check(pos)) return threat->kind == JsonValue::ARRAY && threat->items.empty() ? "" : where + ": a threat after a check";
  rules::Position passed = pos;
  passed.side ^= 1;
  passed.ep = 0;
  const Texts want = moves_where(passed, [&](const rules::Move& t) { return judge->move_mates(passed, t, left); });
  if (threat->kind == JsonValue::NUL) return want.empty() ? "" : where + ": zugzwang claimed, the rules threaten " + joined(want);
  return differ("threat", where, listed(threat, false), want);
}

std::string judge_node(const rules::Position& pos, int left, const JsonValue& node, const std::string& where);

// After the defence: exactly the attacker moves that mate within `left`.
std::string judge_defence(const rules::Position& pos, int left, const JsonValue& defence, const std::string& where) {
  const JsonValue* replies = defence.get("replies");
  const Texts want = moves_where(pos, [&](const rules::Move& r) { return judge->move_mates(pos, r, left); });
  if (want.empty()) return where + ": the defence holds";
  if (std::string bad = differ("replies", where, listed(replies, true), want); !bad.empty()) return bad;
  for (const JsonValue& reply : replies->items) {
    const std::string move = move_of(reply);
    if (std::string bad = judge_node(after(pos, move), left - 1, reply, where + " " + move); !bad.empty()) return bad;
  }
  return "";
}

// The node of the attacker's move just played in `pos` (defender to move),
// with `left` attacker moves still allowed.
std::string judge_node(const rules::Position& pos, int left, const JsonValue& node, const std::string& where) {
  facts->nodes++;
  const JsonValue* mate = node.get("mate");
  const JsonValue* defences = node.get("defences");
  if (mate == nullptr || defences == nullptr || defences->kind != JsonValue::ARRAY)
    return where + ": a node without mate or defences";
  if (mate->boolean != rules::checkmate(pos)) return where + ": mate is " + (mate->boolean ? "claimed" : "missed");
  if (mate->boolean) return defences->items.empty() ? "" : where + ": defences after mate";
  if (left < 1) return where + ": no mate in time";
  if (std::string bad = judge_threat(pos, left, node, where); !bad.empty()) return bad;
  const Texts all = moves_where(pos, [](const rules::Move&) { return true; });
  if (std::string bad = differ("defences", where, listed(defences, true), all); !bad.empty()) return bad;
  for (const JsonValue& d : defences->items) {
    const std::string move = move_of(d);
    if (std::string bad = judge_defence(after(pos, move), left, d, where + " " + move); !bad.empty()) return bad;
  }
  return "";
}

// How many defences of `pos` (after a first move) hold out past `left`, up to two.
int refutations(const rules::Position& pos, int left, std::string* refutation) {
  int count = 0;
  moves_where(pos, [&](const rules::Move& d) {
    if (count > 1) return false;
    rules::Position next = pos;
    rules::play_move(&next, d);
    if (judge->mates(next, left)) return false;
    *refutation = text_of(d);
    return ++count > 0;
  });
  return count;
}

std::string judge_tries(const rules::Position& pos, int n, const Texts& keys, const JsonValue& solution,
                        bool complete) {
  const JsonValue* tries = solution.get("tries");
  if (tries == nullptr) return "no tries field";
  Texts got, want;
  for (const JsonValue& t : tries->items) {
    std::string refutation;
    const std::string move = move_of(t);
    const JsonValue* claimed = t.get("refutation");
    bool legal = false;
    const rules::Position next = after(pos, move, &legal);
    if (!legal || std::find(keys.begin(), keys.end(), move) != keys.end()) return "try " + move + " is a key or illegal";
    if (refutations(next, n - 1, &refutation) != 1 || claimed == nullptr || claimed->text != refutation)
      return "try " + move + " is not refuted by its one defence";
    got.push_back(move);
  }
  facts->tries = static_cast<int>(got.size());
  if (!complete) return "";
  std::sort(got.begin(), got.end());
  want = moves_where(pos, [&](const rules::Move& m) {
    std::string refutation;
    rules::Position next = pos;
    rules::play_move(&next, m);
    return !judge->move_mates(pos, m, n) && refutations(next, n - 1, &refutation) == 1;
  });
  return differ("tries", "first moves", got, want);
}

// The keys, exactly the first moves that mate within `moves`, each tree
// whole; and the shortest mate.
std::string judge_keys(const rules::Position& pos, int moves, const JsonValue& keys, const JsonValue& shortest,
                       Texts* got) {
  const Texts want = moves_where(pos, [&](const rules::Move& m) { return judge->move_mates(pos, m, moves); });
  *got = listed(&keys, true);
  if (std::string bad = differ("keys", "first moves", *got, want); !bad.empty()) return bad;
  facts->keys = static_cast<int>(got->size());
  int least = 0;
  for (int k = moves; k >= 1 && judge->mates(pos, k); k--) least = k;
  if ((shortest.kind == JsonValue::NUL ? 0 : static_cast<int>(shortest.number)) != least)
    return "shortest is not " + std::to_string(least);
  for (const JsonValue& key : keys.items) {
    const std::string move = move_of(key);
    if (std::string bad = judge_node(after(pos, move), moves - 1, key, move); !bad.empty()) return bad;
  }
  return "";
}

}  // namespace

std::string judge_solution(const JsonValue& solution, bool tries_complete, MateJudge* mate_judge,
                           SolutionFacts* solution_facts) {
  judge = mate_judge;
  facts = solution_facts;
  *facts = SolutionFacts{};
  const JsonValue* fen = solution.get("fen");
  const JsonValue* n = solution.get("n");
  const JsonValue* decided = solution.get("decided");
  const JsonValue* shortest = solution.get("shortest");
  const JsonValue* keys = solution.get("keys");
  rules::Position pos;
  if (fen == nullptr || n == nullptr || decided == nullptr || shortest == nullptr || keys == nullptr)
    return "a field is missing";
  if (!rules::set_fen(&pos, fen->text.c_str())) return "the rules refuse the FEN";
  if (!decided->boolean) return "not decided";
  const int moves = static_cast<int>(n->number);
  Texts got;
  if (std::string bad = judge_keys(pos, moves, *keys, *shortest, &got); !bad.empty()) return bad;
  return judge_tries(pos, moves, got, solution, tries_complete);
}
