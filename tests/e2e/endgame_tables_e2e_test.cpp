// The engine with Debian's 3-men distance-to-mate tables: exact results at
// the root, mates through a capture into a table ending, and bad table
// folders that switch the tables off with one info string. Skipped when the
// engine was built without the probing library or the tables are absent.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine_process.h"
#include "mate_claims.h"
#include "tools/scratch_dir.h"

namespace {

namespace fs = std::filesystem;

const std::string TABLES = "/usr/share/gaviotatb/gtb4";

bool starts_with(const std::string& s, const std::string& prefix) { return s.rfind(prefix, 0) == 0; }

// An engine with the given table folders; the info string they gave in *said.
void open_tables(EngineProcess& engine, const std::string& folders, std::string* said) {
  engine.send_line("setoption name Threads value 1");
  engine.send_line("setoption name GaviotaTbPath value " + folders);
  engine.send_line("isready");
  for (const std::string& line : engine.read_until("readyok"))
    if (starts_with(line, "info string")) *said += line;
}

// Skips the test unless the tables are installed and the engine can use them.
#define REQUIRE_TABLES(engine)                                                          \
  do {                                                                                  \
    if (!fs::exists(TABLES + "/krk.gtb.cp4")) GTEST_SKIP() << "no tables in " << TABLES; \
    std::string said;                                                                   \
    open_tables(engine, TABLES, &said);                                                 \
    if (said.find("no endgame tables") != std::string::npos) GTEST_SKIP() << said;      \
    ASSERT_NE(said.find("tables of up to 3 men open"), std::string::npos) << said;      \
  } while (0)

struct Expected {
  std::string fen;
  int moves;
};

// "fen bm #N;" lines.
std::vector<Expected> read_set(const std::string& name) {
  std::vector<Expected> set;
  std::ifstream in(std::string(TEST_DATA_DIR) + "/" + name);
  std::string line;
  while (std::getline(in, line)) {
    const auto bm = line.find(" bm #");
    if (bm != std::string::npos) set.push_back({line.substr(0, bm) + " 0 1", std::stoi(line.substr(bm + 5))});
  }
  return set;
}

std::vector<std::string> search(EngineProcess& engine, const std::string& fen, const std::string& go) {
  engine.send_line("position fen " + fen);
  engine.send_line(go);
  return engine.read_until("bestmove", 60000);
}

TEST(EndgameTables, EveryKrkAndKqkPositionOfTheSetGetsItsExactMate) {
  EngineProcess engine;
  REQUIRE_TABLES(engine);
  for (const char* name : {"krk.epd", "kqk.epd"}) {
    const std::vector<Expected> set = read_set(name);
    ASSERT_EQ(set.size(), 100u) << name;
    for (const Expected& e : set) {
      // A shallow go: the answer must come from the tables, not the search.
      const std::vector<std::string> lines = search(engine, e.fen, "go depth 1");
      std::string pv;
      EXPECT_EQ(shortest_exact(lines, &pv), e.moves) << e.fen << joined(lines);
      EXPECT_TRUE(false_claims(e.fen, lines).empty()) << e.fen << joined(false_claims(e.fen, lines));
      ASSERT_TRUE(starts_with(lines.back(), "bestmove " + pv.substr(0, 4))) << e.fen << joined(lines);
    }
  }
}

// Mates that reach KRK by a capture: without tables no search of these
// depths sees them. In the second, the defender may decline the rook and
// face two rooks; the line is proven through both.
TEST(EndgameTables, AMateThroughACaptureIntoKrkIsFoundWithItsWholeLine) {
  const struct {
    const char* fen;
    const char* go;
    const char* first;
  } cases[] = {
      {"4k2r/8/8/8/8/8/7R/4K3 w - - 0 1", "go depth 4", "h2h8 "},
      {"3rk3/8/8/8/8/8/8/3RKR2 w - - 0 1", "go depth 6", "d1d8 "},
  };
  EngineProcess engine;
  REQUIRE_TABLES(engine);
  for (const auto& c : cases) {
    const std::vector<std::string> lines = search(engine, c.fen, c.go);
    std::string pv;
    EXPECT_EQ(shortest_exact(lines, &pv), 15) << c.fen << joined(lines);
    EXPECT_TRUE(starts_with(pv, c.first)) << pv;
    EXPECT_TRUE(false_claims(c.fen, lines).empty()) << joined(false_claims(c.fen, lines));
  }
}

// Lost and drawn positions: no mate is claimed, and the move is the one the
// tables give (the longest defence, the draw).
TEST(EndgameTables, LostAndDrawnPositionsAreAnsweredAsSuch) {
  struct Case {
    const char* what;
    const char* fen;
    const char* score;
    const char* bestmove;
  };
  const Case cases[] = {
      {"the longest defence against KRK", "4k3/8/8/8/8/8/R7/4K3 b - - 0 1", "score mate -15", "bestmove e8d7"},
      {"the rook taken", "4k3/4R3/8/8/8/8/8/K7 b - - 0 1", "score cp 0", "bestmove e8e7"},
      {"a mate in one", "k7/2Q5/1K6/8/8/8/8/8 w - - 0 1", "score mate 1", "bestmove c7"},
  };
  EngineProcess engine;
  REQUIRE_TABLES(engine);
  for (const Case& c : cases) {
    const std::vector<std::string> lines = search(engine, c.fen, "go depth 1");
    ASSERT_GE(lines.size(), 2u) << c.what;
    EXPECT_NE(lines[lines.size() - 2].find(c.score), std::string::npos) << c.what << joined(lines);
    EXPECT_TRUE(starts_with(lines.back(), c.bestmove)) << c.what << joined(lines);
    EXPECT_TRUE(false_claims(c.fen, lines).empty()) << c.what << joined(false_claims(c.fen, lines));
  }
}

// A folder made from the installed tables, one file damaged by `damage`.
std::string damaged_copy(const char* prefix, void (*damage)(const fs::path&)) {
  const std::string dir = make_scratch_dir(prefix);
  for (const auto& entry : fs::directory_iterator(TABLES)) fs::copy_file(entry.path(), dir / entry.path().filename());
  damage(fs::path(dir) / "krk.gtb.cp4");
  return dir;
}

void cut_short(const fs::path& file) { fs::resize_file(file, fs::file_size(file) / 3); }
void make_empty(const fs::path& file) { fs::resize_file(file, 0); }
void scramble(const fs::path& file) {
  std::fstream f(file, std::ios::in | std::ios::out | std::ios::binary);
  const auto size = static_cast<long>(fs::file_size(file));
  for (long at = 200; at < size; at += 7) {
    f.seekp(at);
    f.put(static_cast<char>(at * 31));
  }
}

TEST(EndgameTables, BadFoldersAndFilesTurnTheTablesOffWithOneMessage) {
  struct Case {
    const char* what;
    std::string folders;
    const char* message;
  };
  if (!fs::exists(TABLES + "/krk.gtb.cp4")) GTEST_SKIP() << "no tables in " << TABLES;
  const std::string no_tables = make_scratch_dir("tervalk-no-tables-");
  const Case cases[] = {
      {"a missing folder", TABLES + ";/no/such/folder", "no folder /no/such/folder, tables off"},
      {"a folder without tables", no_tables, "no table files in"},
      {"an empty file", damaged_copy("tervalk-empty-", make_empty), "krk.gtb.cp4 is empty, tables off"},
      {"a file cut short", damaged_copy("tervalk-cut-", cut_short), "krk.gtb.cp4 cannot be read"},
      {"a damaged file", damaged_copy("tervalk-scrambled-", scramble), "krk.gtb.cp4 cannot be read"},
  };
  for (const Case& c : cases) {
    EngineProcess engine;
    std::string said;
    open_tables(engine, c.folders, &said);
    if (said.find("no endgame tables") != std::string::npos) GTEST_SKIP() << said;
    EXPECT_NE(said.find(c.message), std::string::npos) << c.what << ": " << said;
    EXPECT_EQ(said.find("info string", 1), std::string::npos) << c.what << ": said more than once: " << said;
    // The engine goes on without tables: a KRK mate in 12 is beyond this depth.
    const std::vector<std::string> lines = search(engine, "4k3/8/8/8/8/8/R7/4K3 w - - 0 1", "go depth 2");
    EXPECT_TRUE(mate_claims(lines).empty()) << c.what << joined(lines);
    EXPECT_TRUE(starts_with(lines.back(), "bestmove ")) << c.what;
  }
  for (const Case& c : cases)
    if (c.folders.find(';') == std::string::npos) fs::remove_all(c.folders);
}

}  // namespace
