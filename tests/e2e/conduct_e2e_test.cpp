// What GUIs and scripts rely on: ucinewgame, go mate, a bestmove that waits
// for stop, searches that finish after the end of input, settings kept in
// range, and move lists taken whole or refused out loud.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "board.h"
#include "board/notation.h"
#include "engine_process.h"
#include "mate_claims.h"
#include "protocol/command_loop.h"
#include "protocol/game_setup.h"
#include "tools/chess_rules.h"
#include "tools/mate_line.h"

namespace {

// A mate in four that a search under Matt_in 2 does not see.
constexpr const char* MATE_IN_FOUR = "2n5/8/2P2K2/pP1N4/2PkNp2/3B4/4P2b/8 w - -";
constexpr const char* MATE_IN_THREE = "2rB4/1b1n1pp1/pn4Rp/1Q2NB2/2pK1k1r/3RN1pr/4P3/8 w - -";

bool starts_with(const std::string& s, const std::string& prefix) { return s.rfind(prefix, 0) == 0; }

bool any_starts_with(const std::vector<std::string>& lines, const std::string& prefix) {
  for (const std::string& line : lines)
    if (starts_with(line, prefix)) return true;
  return false;
}

void ready(EngineProcess& engine) {
  // Node counts are compared between runs: one thread, whatever the suite
  // runs with.
  engine.send_line("setoption name Threads value 1");
  engine.send_line("isready");
  EXPECT_EQ(engine.read_line(), "readyok");
}

std::vector<std::string> go(EngineProcess& engine, const std::string& position, const std::string& command) {
  engine.send_line(position);
  engine.send_line(command);
  return engine.read_until("bestmove", 60000);
}

// The shortest exact mate claimed, 0 for none; every claim must hold.
int shortest_mate(const std::string& fen, const std::vector<std::string>& lines) {
  EXPECT_TRUE(false_claims(fen, lines).empty()) << joined(false_claims(fen, lines));
  int best = 0;
  for (const MateClaim& claim : mate_claims(lines))
    if (!claim.bound && (best == 0 || claim.moves < best)) best = claim.moves;
  return best;
}

// The move of a bestmove line.
std::string first_move(const std::string& bestmove_line) {
  const std::string rest = bestmove_line.substr(9);
  return rest.substr(0, rest.find(' '));
}

long node_figure(const std::string& line) {
  const auto at = line.find(" nodes ");
  return at == std::string::npos ? -1 : std::stol(line.substr(at + 7));
}

TEST(Conduct, UcinewgameIsAnsweredWithNothingAndKeepsMattIn) {
  for (const char* between : {"ucinewgame", "uci"}) {
    EngineProcess engine;
    engine.send_line("uci");
    engine.read_until("uciok");
    engine.send_line("setoption name Matt_in value 2");
    engine.send_line(between);
    engine.send_line("isready");
    const std::vector<std::string> reply = engine.read_until("readyok");
    const bool is_newgame = std::string(between) == "ucinewgame";
    EXPECT_EQ(reply.size() == 1, is_newgame) << between;
    // uci itself still puts Matt_in back to 15, so only then is the mate seen.
    const int found = shortest_mate(MATE_IN_FOUR, go(engine, std::string("position fen ") + MATE_IN_FOUR, "go depth 8"));
    EXPECT_EQ(found, is_newgame ? 0 : 4) << between;
  }
}

// A search under a short mate limit leaves results that would hide a longer
// mate; after a change of Matt_in the engine searches as after Clear Hash.
TEST(Conduct, ChangingMattInLeavesNoResultThatHidesAMate) {
  std::vector<std::string> last;
  for (const char* clear : {"", "setoption name Clear Hash"}) {
    EngineProcess engine;
    ready(engine);
    engine.send_line("setoption name Matt_in value 2");
    EXPECT_EQ(shortest_mate(MATE_IN_FOUR, go(engine, std::string("position fen ") + MATE_IN_FOUR, "go depth 8")), 0);
    if (*clear != '\0') engine.send_line(clear);
    engine.send_line("setoption name Matt_in value 15");
    const std::vector<std::string> lines = go(engine, std::string("position fen ") + MATE_IN_FOUR, "go depth 8");
    EXPECT_EQ(shortest_mate(MATE_IN_FOUR, lines), 4) << clear;
    ASSERT_GE(lines.size(), 2u);
    last.push_back(lines[lines.size() - 2]);
  }
  EXPECT_EQ(node_figure(last[0]), node_figure(last[1])) << last[0] << "\n" << last[1];
}

TEST(Conduct, GoMateSearchesForThatMateAndAnswersWhenFound) {
  EngineProcess engine;
  ready(engine);
  engine.send_line("setoption name Matt_in value 1");
  const std::string position = std::string("position fen ") + MATE_IN_FOUR;
  // Ends by itself: no stop is sent.
  const std::vector<std::string> lines = go(engine, position, "go mate 4");
  EXPECT_EQ(shortest_mate(MATE_IN_FOUR, lines), 4) << joined(lines);
  EXPECT_TRUE(any_starts_with(lines, "bestmove ")) << joined(lines);
  // The option keeps its value: the next ordinary search is limited to 1.
  EXPECT_EQ(shortest_mate(MATE_IN_FOUR, go(engine, position, "go depth 8")), 0);
}

// Infinite and ponder searches that end by themselves answer only when the
// GUI ends them; isready is answered meanwhile.
TEST(Conduct, BestmoveWaitsForStopOrPonderhit) {
  constexpr const char* MATE_IN_ONE = "position fen 7k/5Q2/6K1/8/8/8/8/8 w - - 0 1";
  struct Case {
    const char* position;
    const char* go;
    const char* release;
    const char* last;  // the search's last line, once it has ended by itself
  } cases[] = {
      {"position fen 7k/5Q2/6K1/8/8/8/8/8 b - - 0 1", "go infinite", "stop", ""},  // stalemate: nothing to search
      {MATE_IN_ONE, "go infinite", "stop", "info depth 98 "},  // searched out to the deepest iteration
      {MATE_IN_ONE, "go ponder depth 2", "ponderhit", "info depth 2 "},
      {MATE_IN_ONE, "go ponder depth 2", "quit", "info depth 2 "},
  };
  for (const Case& c : cases) {
    EngineProcess engine;
    ready(engine);
    engine.send_line(c.position);
    engine.send_line(c.go);
    std::vector<std::string> lines;
    if (*c.last != '\0') {
      lines = engine.read_until(c.last, 10000);
      ASSERT_FALSE(lines.empty()) << c.go;
      EXPECT_TRUE(starts_with(lines.back(), c.last)) << c.position << " " << c.go << joined(lines);
    }
    engine.send_line("isready");
    std::vector<std::string> more = engine.read_until("readyok", 10000);
    lines.insert(lines.end(), more.begin(), more.end());
    EXPECT_FALSE(any_starts_with(lines, "bestmove")) << c.position << " " << c.go << joined(lines);
    engine.send_line(c.release);
    EXPECT_TRUE(any_starts_with(engine.read_until("bestmove", 10000), "bestmove ")) << c.position << " " << c.go;
  }
}

// With NewPonder the ponder search looks at the opponent's moves: the book,
// which here holds the opponent's move, must not answer for them.
TEST(Conduct, PonderSearchDoesNotAnswerFromTheBookForTheOpponent) {
  EngineProcess engine;
  // A book that knows the position after 1.e4 e5 2.a3 (White's move).
  {
    ensure_engine_ready();
    new_game();
    for (const char* move : {"e2e4", "e7e5", "a2a3"}) {
      ASSERT_EQ(enter_move(move), 1);
      side_to_move ^= 1;
    }
    const uint32_t key = hash_lock;
    new_game();
    auto le = [](uint32_t value, int bytes) {
      std::string out;
      for (int i = 0; i < bytes; i++) out += static_cast<char>(value >> (8 * i) & 0xFF);
      return out;
    };
    std::ofstream(engine.workdir() + "/QVbook.ind", std::ios::binary) << le(key, 4) + le(0, 4);
    std::ofstream(engine.workdir() + "/QVbook.dat", std::ios::binary)
        << le(key, 4) + le(500, 4) + le(300, 4) + le(200, 4) + le(2500, 2) + le(2450, 2) + le(1, 2) + le(0, 2);
  }
  engine.send_line("setoption name Use_Engine_Book value true");
  engine.send_line("setoption name NewPonder value true");
  ready(engine);
  engine.send_line("position startpos moves e2e4 e7e5 a2a3");
  engine.send_line("go ponder depth 2");
  engine.send_line("isready");
  const std::vector<std::string> pondering = engine.read_until("readyok", 10000);
  EXPECT_FALSE(any_starts_with(pondering, "bestmove")) << joined(pondering);
  engine.send_line("ponderhit");
  const std::vector<std::string> lines = engine.read_until("bestmove", 30000);
  ASSERT_TRUE(any_starts_with(lines, "bestmove ")) << joined(lines);
  // Black's answer to 2.a3.
  const std::string move = lines.back().substr(9, 4);
  EXPECT_EQ(check_line_legal("rnbqkbnr/pppp1ppp/8/4p3/4P3/P7/1PPP1PPP/RNBQKBNR b KQkq - 0 2", move.c_str()),
            LINE_GOOD)
      << lines.back();
}

// A script piped in: the search with a limit finishes and reports before the
// engine ends; an open-ended one is stopped.
TEST(Conduct, EndOfInputLetsALimitedSearchFinish) {
  const std::string fen = MATE_IN_THREE;
  for (const char* command : {"go depth 6", "go mate 3"}) {
    EngineProcess engine;
    engine.send("isready\nposition fen " + fen + "\n" + command + "\n");
    engine.close_input();
    const std::string out = engine.read_all(60000);
    std::vector<std::string> lines;
    for (std::size_t at = 0, lf; (lf = out.find('\n', at)) != std::string::npos; at = lf + 1)
      lines.push_back(out.substr(at, lf - at));
    EXPECT_EQ(shortest_mate(fen, lines), 3) << command << joined(lines);
    EXPECT_TRUE(any_starts_with(lines, "bestmove f5h3")) << command << joined(lines);
    EXPECT_EQ(engine.wait_exit(5000), 0) << command;
  }
}

// The bestmove after a position command must be legal where the command,
// read as intended, leaves the game; refusals are said on an info string.
TEST(Conduct, PositionCommandsPlayWhatTheySayOrSaySo) {
  struct Case {
    const char* what;
    std::string position;
    const char* expected_fen;
    bool says_something;
  } cases[] = {
      {"four FEN fields, then moves", "position fen 4k3/8/8/8/8/8/8/R3K3 w - - moves a1a7 e8d8",
       "3k4/R7/8/8/8/8/8/4K3 w - - 0 2", false},
      {"upper-case promotion letter", "position fen 4k3/2P5/8/8/8/8/8/4K3 w - - 0 1 moves c7c8Q e8e7",
       "2Q5/4k3/8/8/8/8/8/4K3 w - - 0 2", false},
      {"unknown move text", "position fen 4k3/8/8/8/8/8/4r3/4K3 w - - 0 1 moves xxxx",
       "4k3/8/8/8/8/8/4r3/4K3 w - - 0 1", true},
      {"unknown texts between moves", "position startpos moves d2d4 xxxx e2e4 xxxx",
       "rnbqkbnr/pppppppp/8/8/3P4/8/PPP1PPPP/RNBQKBNR b KQkq - 0 1", true},
      {"refused FEN", "position fen 8/8/8/8/8/8/8/8 w - - 0 1",
       "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", true},
      {"pawn on the last rank", "position fen k6p/8/5K2/8/8/8/8/1Q6 w - - 0 1",
       "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", true},
  };
  for (const Case& c : cases) {
    EngineProcess engine;
    ready(engine);
    const std::vector<std::string> lines = go(engine, c.position, "go depth 1");
    ASSERT_TRUE(any_starts_with(lines, "bestmove ")) << c.what;
    EXPECT_EQ(any_starts_with(lines, "info string "), c.says_something) << c.what << joined(lines);
    const std::string move = first_move(lines.back());
    EXPECT_EQ(check_line_legal(c.expected_fen, move.c_str()), LINE_GOOD) << c.what << ": " << lines.back();
  }
}

// As many moves as the game record holds are taken whole; one more and the
// command is refused, leaving the game as it was.
TEST(Conduct, LongMoveListsAreTakenWholeOrRefused) {
  // Knights out and back, then 1.e4: 797 plies leave Black to move after e4.
  std::string moves;
  for (int i = 0; i < 199; i++) moves += " g1f3 g8f6 f3g1 f6g8";
  moves += " e2e4";
  EngineProcess engine;
  ready(engine);
  std::vector<std::string> lines = go(engine, "position startpos moves" + moves, "go depth 1");
  EXPECT_FALSE(any_starts_with(lines, "info string")) << joined(lines);
  EXPECT_EQ(check_line_legal("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq - 0 1", first_move(lines.back()).c_str()),
            LINE_GOOD)
      << lines.back();

  ready(engine);
  engine.send_line("position fen 4k3/8/8/8/8/8/8/R3K3 w - - 0 1");
  lines = go(engine, "position startpos moves" + moves + " e7e5 g1f3", "go depth 1");
  EXPECT_TRUE(any_starts_with(lines, "info string")) << joined(lines);
  // The game before the refused command: the rook endgame, white to move.
  EXPECT_EQ(check_line_legal("4k3/8/8/8/8/8/8/R3K3 w - - 0 1", first_move(lines.back()).c_str()), LINE_GOOD)
      << lines.back();
}

TEST(Conduct, OutOfRangeMattInIsKeptInRange) {
  EngineProcess engine;
  ready(engine);
  engine.send_line("setoption name Matt_in value 200");
  EXPECT_EQ(shortest_mate(MATE_IN_THREE, go(engine, std::string("position fen ") + MATE_IN_THREE, "go depth 6")), 3);
}

}  // namespace
