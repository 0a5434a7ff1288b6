// The differential check: positions made up at random, searched by the
// engine as a GUI would search them, every claim judged on the tools' own
// rules.
#include "tools/claim_check.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unordered_set>

#include "tools/chess_rules.h"
#include "tools/mate_judge.h"
#include "tools/mate_line.h"
#include "tools/suite_parse.h"
#include "tools/uci_child.h"

namespace {

constexpr int HANDSHAKE_MS = 30000;
constexpr int STOP_MS = 20000;
constexpr int QUIT_MS = 2000;
constexpr int SILENCE_MS = 1500;

// splitmix64: the same positions for the same seed on every machine.
struct Random {
  uint64_t state;
  uint64_t next() {
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  int below(int n) { return static_cast<int>(next() % static_cast<uint64_t>(n)); }
  bool chance(int percent) { return below(100) < percent; }
};

// --- Positions -----------------------------------------------------------------

struct Placement {
  char square[64];  // FEN letters, '.' for empty; a1 = 0
  int side;         // rules::WHITE or rules::BLACK to move
  std::string castling = "-";
  char en_passant[3] = "-";  // a square, or "-"
};

int square_of(int file, int rank) { return rank * 8 + file; }

bool kings_apart(const Placement& p) {
  int white = -1, black = -1;
  for (int s = 0; s < 64; s++) {
    if (p.square[s] == 'K') white = s;
    if (p.square[s] == 'k') black = s;
  }
  const int files = white % 8 - black % 8, ranks = white / 8 - black / 8;
  return files * files > 1 || ranks * ranks > 1;
}

char letter(char piece, int colour) { return colour == rules::WHITE ? piece : static_cast<char>(piece - 'A' + 'a'); }

// A random empty square, pawns kept off the first and last ranks.
int empty_square(Random& rng, const Placement& p, bool pawn) {
  for (;;) {
    const int s = rng.below(64);
    if (p.square[s] != '.') continue;
    if (pawn && (s / 8 == 0 || s / 8 == 7)) continue;
    return s;
  }
}

// A king at home with one or two rooks in their corners, and the rights.
void castling_setup(Random& rng, Placement& p, int colour) {
  const int rank = colour == rules::WHITE ? 0 : 7;
  p.square[square_of(4, rank)] = letter('K', colour);
  const char* rights = colour == rules::WHITE ? "KQ" : "kq";
  for (int side = 0; side < 2; side++) {
    if (!rng.chance(70)) continue;
    p.square[square_of(side == 0 ? 7 : 0, rank)] = letter('R', colour);
    if (p.castling == "-") p.castling.clear();
    p.castling += rights[side];
  }
}

// A pawn of the side that just moved, two squares on, and a pawn of the
// side to move beside it that may take it en passant.
void en_passant_setup(Random& rng, Placement& p) {
  const int moved = p.side ^ 1;
  const int file = rng.below(8);
  const int rank = moved == rules::WHITE ? 3 : 4;        // where it stands
  const int passed = moved == rules::WHITE ? 2 : 5;      // the square it passed
  const int start = moved == rules::WHITE ? 1 : 6;
  if (p.square[square_of(file, rank)] != '.' || p.square[square_of(file, passed)] != '.' ||
      p.square[square_of(file, start)] != '.')
    return;
  p.square[square_of(file, rank)] = letter('P', moved);
  const int beside = file + (rng.chance(50) ? 1 : -1);
  if (beside >= 0 && beside < 8 && p.square[square_of(beside, rank)] == '.' && rng.chance(85))
    p.square[square_of(beside, rank)] = letter('P', p.side);
  p.en_passant[0] = static_cast<char>('a' + file);
  p.en_passant[1] = static_cast<char>('1' + passed);
  p.en_passant[2] = '\0';
}

// An extra man of `colour`: attackers get the heavier ones, and pawns near
// promotion now and then.
void add_man(Random& rng, Placement& p, int colour, bool attacking) {
  const char* pool = attacking ? "QQRRRBBNNPP" : "PPPPNNBBRRQ";
  const char piece = pool[rng.below(static_cast<int>(std::strlen(pool)))];
  int s;
  if (piece == 'P' && rng.chance(35)) {
    const int rank = colour == rules::WHITE ? 6 : 1;
    s = square_of(rng.below(8), rank);
    if (p.square[s] != '.') return;
  } else {
    s = empty_square(rng, p, piece == 'P');
  }
  p.square[s] = letter(piece, colour);
}

std::string fen_of(const Placement& p) {
  std::string fen;
  for (int rank = 7; rank >= 0; rank--) {
    int empty = 0;
    for (int file = 0; file < 8; file++) {
      const char c = p.square[square_of(file, rank)];
      if (c == '.') {
        empty++;
        continue;
      }
      if (empty > 0) fen += static_cast<char>('0' + empty);
      empty = 0;
      fen += c;
    }
    if (empty > 0) fen += static_cast<char>('0' + empty);
    if (rank > 0) fen += '/';
  }
  fen += p.side == rules::WHITE ? " w " : " b ";
  fen += p.castling + " " + p.en_passant + " 0 1";
  return fen;
}

// The defender's king castled in, behind some of its pawns, with heavy
// pieces of the attacker about: where the right to castle decides a mate.
void castling_net(Random& rng, Placement& p) {
  const int defender = p.side ^ 1;
  castling_setup(rng, p, defender);
  const int pawn_rank = defender == rules::WHITE ? 1 : 6;
  for (int file = 0; file < 8; file++)
    if (file != 4 && rng.chance(30)) p.square[square_of(file, pawn_rank)] = letter('P', defender);
  for (int heavy = 0; heavy < 2; heavy++) p.square[empty_square(rng, p, false)] = letter(rng.chance(60) ? 'R' : 'Q', p.side);
}

// A placement the rules accept, with rights often enough to matter.
Placement make_placement(Random& rng) {
  for (;;) {
    Placement p;
    std::memset(p.square, '.', sizeof(p.square));
    p.side = rng.below(2);
    if (rng.chance(40)) castling_net(rng, p);
    for (int colour = rules::WHITE; colour <= rules::BLACK; colour++)
      if (p.castling == "-" && rng.chance(35)) castling_setup(rng, p, colour);
    for (int colour = rules::WHITE; colour <= rules::BLACK; colour++) {
      bool has_king = false;
      for (char c : p.square) has_king = has_king || c == letter('K', colour);
      if (!has_king) p.square[empty_square(rng, p, false)] = letter('K', colour);
    }
    if (rng.chance(30)) en_passant_setup(rng, p);
    const int attackers = 1 + rng.below(3), defenders = rng.below(5);
    for (int i = 0; i < attackers; i++) add_man(rng, p, p.side, true);
    for (int i = 0; i < defenders; i++) add_man(rng, p, p.side ^ 1, false);
    // Now and then the weaker side is to move: its lines may be mated.
    if (rng.chance(15)) {
      p.side ^= 1;
      std::strcpy(p.en_passant, "-");
    }
    rules::Position pos;
    if (kings_apart(p) && rules::set_fen(&pos, fen_of(p).c_str())) return p;
  }
}

bool has_en_passant(const Placement& p) { return p.en_passant[0] != '-'; }
bool has_rights(const Placement& p) { return p.castling != "-" || has_en_passant(p); }

bool mates_within(MateJudge& judge, const Placement& p, int moves) {
  rules::Position pos;
  return rules::set_fen(&pos, fen_of(p).c_str()) && judge.mates(pos, moves);
}

// The same placement without its castling rights or its en-passant square.
Placement without_rights(Random& rng, const Placement& p) {
  Placement twin = p;
  const bool both = p.castling != "-" && has_en_passant(p);
  const bool drop_castling = p.castling != "-" && (!both || rng.chance(50));
  if (drop_castling) twin.castling = "-";
  if (!drop_castling || (both && rng.chance(50))) std::strcpy(twin.en_passant, "-");
  return twin;
}

// --- The engine ------------------------------------------------------------------

struct Session {
  UciChild child{};
  bool running = false;
  int used = 0;             // placements searched by this engine
  std::string options[4];   // last value sent: Matt_in, MultiPV, Mate_Solver, Hash
};

const char* OPTION_NAMES[4] = {"Matt_in", "MultiPV", "Mate_Solver", "Hash"};

bool read_until(Session& s, const char* prefix, int timeout_ms, std::vector<std::string>* lines) {
  for (;;) {
    if (read_line(&s.child, timeout_ms) != READ_LINE) return false;
    if (lines != nullptr) lines->push_back(s.child.line);
    if (std::strncmp(s.child.line, prefix, std::strlen(prefix)) == 0) return true;
  }
}

bool start_session(Session& s, const ClaimCheckSettings& settings) {
  s = Session{};
  if (!start_child(&s.child, settings.engine.c_str())) return false;
  s.running = true;
  send_line(&s.child, "uci");
  if (!read_until(s, "uciok", HANDSHAKE_MS, nullptr)) return false;
  const std::string threads = "setoption name Threads value " + std::to_string(settings.threads);
  send_line(&s.child, threads.c_str());
  return true;
}

void end_session(Session& s) {
  if (s.running) stop_child(&s.child, QUIT_MS);
  s.running = false;
}

// Sends the options that differ from what the engine has, then isready.
bool set_options(Session& s, const std::string values[4]) {
  for (int i = 0; i < 4; i++) {
    if (s.options[i] == values[i]) continue;
    s.options[i] = values[i];
    const std::string line = std::string("setoption name ") + OPTION_NAMES[i] + " value " + values[i];
    send_line(&s.child, line.c_str());
  }
  send_line(&s.child, "isready");
  return read_until(s, "readyok", HANDSHAKE_MS, nullptr);
}

enum Mode { GO_MATE, GO_DEPTH, GO_INFINITE, MODES };

bool shows_exact_mate(const char* line) {
  InfoLine info;
  return parse_info(line, &info) && info.has_mate && !info.bound;
}

// One search: its lines up to bestmove. An infinite one is stopped at once,
// or, where there is a mate to find, as a user would stop it: once a mate
// is shown, once the search has run for a second (its currmove lines
// begin), or once it has fallen silent (a search over by itself waits for
// stop without a word). When it is stopped changes which claims it makes,
// never whether they must hold.
bool search(Session& s, const std::string& fen, Mode mode, int moves, bool mate_exists, int timeout_ms,
            std::vector<std::string>* lines) {
  send_line(&s.child, ("position fen " + fen).c_str());
  if (mode == GO_MATE) {
    send_line(&s.child, ("go mate " + std::to_string(moves)).c_str());
  } else if (mode == GO_DEPTH) {
    send_line(&s.child, ("go depth " + std::to_string(2 * moves + 1)).c_str());
  } else {
    send_line(&s.child, "go infinite");
    while (mate_exists) {
      const int read = read_line(&s.child, SILENCE_MS);
      if (read == READ_CLOSED) return false;
      if (read == READ_TIMEOUT) break;
      lines->push_back(s.child.line);
      if (shows_exact_mate(s.child.line) || std::strncmp(s.child.line, "info currmove", 13) == 0) break;
    }
    send_line(&s.child, "stop");
    return read_until(s, "bestmove", STOP_MS, lines);
  }
  return read_until(s, "bestmove", timeout_ms, lines);
}

// --- Judging -----------------------------------------------------------------------

struct Judging {
  MateJudge& judge;
  const ClaimCheckSettings& settings;
  ClaimReport& report;
  std::unordered_set<std::string>& seen;  // the claims of this placement so far
  std::string fen;
  std::string search;  // what was asked, for the report
};

void wrong(Judging& j, const std::string& line, const std::string& why) {
  j.report.false_claims.push_back(why + "\n    position " + j.fen + "\n    " + j.search + "\n    " + line);
}

// The first move of a line, as the rules know it.
bool first_move(const rules::Position& pos, const char* pv, rules::Move* move) {
  char text[16] = {};
  int n = 0;
  while (pv != nullptr && *pv == ' ') pv++;
  while (pv != nullptr && *pv != '\0' && *pv != ' ' && n < 15) text[n++] = *pv++;
  return n > 0 && find_rules_move(pos, text, move);
}

// Whether `pv`, played from `pos`, has `plies` moves and leaves the side to
// move of `pos` checkmated.
bool ends_mated(const rules::Position& pos, const char* pv, int plies) {
  rules::Position at = pos;
  int played = 0;
  for (const char* p = pv; p != nullptr && *p != '\0';) {
    while (*p == ' ') p++;
    char text[16] = {};
    int n = 0;
    while (*p != '\0' && *p != ' ' && n < 15) text[n++] = *p++;
    if (n == 0) break;
    if (!rules::play(&at, text)) return false;
    played++;
  }
  return played == plies && at.side == pos.side && rules::checkmate(at);
}

void judge_mate(Judging& j, const rules::Position& pos, const std::string& line, const InfoLine& info) {
  rules::Move move{};
  if (!first_move(pos, info.pv, &move)) {
    wrong(j, line, "an exact mate without a legal first move");
    return;
  }
  const int moves = info.mate > 0 ? info.mate : -info.mate - 1;
  const bool line_mates = info.mate > 0 ? check_mate_line(j.fen.c_str(), info.pv, info.mate) == LINE_GOOD
                                        : ends_mated(pos, info.pv, 2 * moves);
  if (!line_mates) {
    wrong(j, line, "the line is no mate of its length");
    return;
  }
  if (moves > j.settings.max_moves + 1) {
    j.report.beyond_reach++;
    return;
  }
  bool holds;
  if (info.mate > 0) {
    holds = j.judge.move_mates(pos, move, info.mate);
  } else {
    rules::Position after = pos;
    rules::play_move(&after, move);
    holds = moves == 0 ? rules::checkmate(after) : j.judge.mates(after, moves);
    j.report.mated_claims++;
  }
  j.report.exact_claims++;
  if (j.seen.insert(j.fen + " " + std::to_string(info.mate) + " " + info.pv).second) j.report.distinct_claims++;
  if (!holds) wrong(j, line, info.mate > 0 ? "no mate within the moves claimed" : "not mated within the moves claimed");
}

void judge_lines(Judging& j, const std::vector<std::string>& lines) {
  rules::Position pos;
  if (!rules::set_fen(&pos, j.fen.c_str())) return;
  for (const std::string& line : lines) {
    const char* said = "info string no mate in ";
    if (line.rfind(said, 0) == 0) {
      const int moves = std::atoi(line.c_str() + std::strlen(said));
      j.report.no_mate_claims++;
      if (moves > j.settings.max_moves + 1 || moves < 1)
        j.report.beyond_reach++;
      else if (j.judge.mates(pos, moves))
        wrong(j, line, "there is a mate within that many moves");
      continue;
    }
    InfoLine info;
    if (!parse_info(line.c_str(), &info) || !info.has_mate) continue;
    if (info.bound) {
      j.report.bounds++;
      if (check_line_legal(j.fen.c_str(), info.pv != nullptr ? info.pv : "") != LINE_GOOD)
        wrong(j, line, "a bound with an illegal line");
      continue;
    }
    judge_mate(j, pos, line, info);
  }
}

}  // namespace

ClaimReport run_claim_check(const ClaimCheckSettings& settings) {
  ClaimReport report;
  Random rng{settings.seed};
  MateJudge judge;
  Session session;
  const std::string hash = rng.chance(50) ? "1" : "16";
  for (int n = 0; n < settings.positions; n++) {
    if (!session.running || session.used >= settings.positions_per_engine) {
      end_session(session);
      if (!start_session(session, settings)) {
        report.failures.push_back("the engine did not start: " + settings.engine);
        break;
      }
    }
    session.used++;
    const int moves = 1 + rng.below(settings.max_moves);
    judge.clear();
    // Most placements are kept only with a mate to find, so that most
    // searches have claims to judge.
    Placement first = make_placement(rng);
    while (!mates_within(judge, first, moves) && rng.chance(70)) first = make_placement(rng);
    std::vector<Placement> order{first};
    if (has_rights(first)) {
      order.push_back(without_rights(rng, first));
      if (rng.chance(50)) std::swap(order[0], order[1]);
    }
    const Mode mode = static_cast<Mode>(rng.below(MODES));
    const std::string values[4] = {std::to_string(moves), rng.chance(25) ? "3" : "1",
                                   rng.chance(30) ? "true" : "false", hash};
    if (rng.chance(10)) send_line(&session.child, "ucinewgame");
    if (!set_options(session, values)) {
      report.failures.push_back("no readyok after the options");
      end_session(session);
      continue;
    }
    std::unordered_set<std::string> seen;
    for (const Placement& p : order) {
      const std::string fen = fen_of(p);
      rules::Position pos;
      rules::set_fen(&pos, fen.c_str());
      const bool mate_exists = mode == GO_INFINITE && judge.mates(pos, moves);
      std::vector<std::string> lines;
      const char* go = mode == GO_MATE ? "go mate" : mode == GO_DEPTH ? "go depth" : "go infinite";
      Judging j{judge, settings, report, seen, fen,
                std::string(go) + " (Matt_in " + values[0] + ", MultiPV " + values[1] + ", Mate_Solver " + values[2] +
                    ", Hash " + values[3] + ", Threads " + std::to_string(settings.threads) + ")"};
      if (!search(session, fen, mode, moves, mate_exists, settings.timeout_ms, &lines)) {
        report.failures.push_back("no bestmove: " + fen + " " + j.search);
        end_session(session);
        break;
      }
      report.searches++;
      judge_lines(j, lines);
      if (settings.verbose) std::fprintf(stderr, "%s | %s | %zu lines\n", fen.c_str(), j.search.c_str(), lines.size());
    }
  }
  end_session(session);
  return report;
}

std::string claim_summary(const ClaimReport& r) {
  char text[512];
  std::snprintf(text, sizeof(text),
                "searches=%llu exact_claims=%llu (distinct=%llu mated=%llu) no_mate=%llu bounds=%llu "
                "beyond_reach=%llu false=%zu failures=%zu",
                static_cast<unsigned long long>(r.searches), static_cast<unsigned long long>(r.exact_claims),
                static_cast<unsigned long long>(r.distinct_claims),
                static_cast<unsigned long long>(r.mated_claims), static_cast<unsigned long long>(r.no_mate_claims),
                static_cast<unsigned long long>(r.bounds), static_cast<unsigned long long>(r.beyond_reach),
                r.false_claims.size(), r.failures.size());
  return text;
}
