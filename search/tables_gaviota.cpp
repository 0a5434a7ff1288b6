// The endgame tables through Debian's Gaviota probing library. The library
// opens what it finds and says little of what it could not use, so the
// folders and files are looked at first, and every file it opened is read
// once for a sample position of its material.
#include <gtb-probe.h>

#include <cstdio>
#include <cstring>

#include "board.h"
#include "board/rights.h"
#include "search/table_files.h"
#include "search/tables.h"

int tables_men;

namespace {

// The extensions of the library's compression schemes, most used first;
// the scheme is the first that some folder holds files of.
struct Scheme {
  int code;
  const char* extension;
};
constexpr Scheme SCHEMES[] = {
    {tb_CP4, ".gtb.cp4"}, {tb_CP3, ".gtb.cp3"}, {tb_CP2, ".gtb.cp2"}, {tb_CP1, ".gtb.cp1"}, {tb_UNCOMPRESSED, ".gtb"}};

constexpr int MEN_MAX = 5;
constexpr std::size_t MEGABYTE = 1024 * 1024;
constexpr int WDL_CACHE_FRACTION = 0;  // the engine asks for distances only

TableFolders folders;
const char** library_paths;

void say(const char* format, const char* a, const char* b) {
  std::fputs("info string GaviotaTbPath: ", stdout);
  std::printf(format, a, b);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

// The scheme of the files in the folders: nullptr when there are none.
// An empty file of any scheme, which the library would crash on, is named
// in `empty` ("" when there is none).
const Scheme* find_scheme(char* empty, std::size_t empty_size) {
  const Scheme* found = nullptr;
  empty[0] = '\0';
  for (const Scheme& scheme : SCHEMES)
    for (int f = 0; f < folders.count; f++)
      for (int n = 0; n < TABLE_NAMES; n++) {
        const int64_t size = table_file_size(folders.folder[f], table_name(n), scheme.extension);
        if (size == 0 && empty[0] == '\0')
          std::snprintf(empty, empty_size, "%s/%s%s", folders.folder[f], table_name(n), scheme.extension);
        if (size > 0 && found == nullptr) found = &scheme;
      }
  return found;
}

// A legal position of the table's material with either side to move:
// kings on a1 and h8, white's men on a3 b3 d3, black's on a6 b6 d6.
bool sample_reads(const char* name) {
  static constexpr unsigned WHITE_SQUARES[] = {tb_A3, tb_B3, tb_D3};
  static constexpr unsigned BLACK_SQUARES[] = {tb_A6, tb_B6, tb_D6};
  unsigned squares[2][MEN_MAX + 1] = {{tb_A1}, {tb_H8}};
  unsigned char pieces[2][MEN_MAX + 1] = {{tb_KING}, {tb_KING}};
  int count[2] = {1, 1};
  int colour = 0;
  for (const char* c = name + 1; *c != '\0'; c++) {
    if (*c == 'k') {
      colour = 1;
      continue;
    }
    const char* letters = "pnbrq";
    const unsigned char piece = static_cast<unsigned char>(tb_PAWN + (std::strchr(letters, *c) - letters));
    const int k = count[colour]++;
    squares[colour][k] = colour == 0 ? WHITE_SQUARES[k - 1] : BLACK_SQUARES[k - 1];
    pieces[colour][k] = piece;
  }
  for (int side = 0; side < 2; side++) {
    squares[side][count[side]] = tb_NOSQUARE;
    pieces[side][count[side]] = tb_NOPIECE;
  }
  for (unsigned stm : {unsigned{tb_WHITE_TO_MOVE}, unsigned{tb_BLACK_TO_MOVE}}) {
    unsigned info = 0, plies = 0;
    if (!tb_probe_hard(stm, tb_NOSQUARE, tb_NOCASTLE, squares[0], squares[1], pieces[0], pieces[1], &info, &plies))
      return false;
  }
  return true;
}

// Reads every file of the scheme once; the first that fails is named.
const char* unreadable_file(const Scheme& scheme, const char** folder) {
  for (int f = 0; f < folders.count; f++)
    for (int n = 0; n < TABLE_NAMES; n++)
      if (table_file_size(folders.folder[f], table_name(n), scheme.extension) > 0 && !sample_reads(table_name(n))) {
        *folder = folders.folder[f];
        return table_name(n);
      }
  return nullptr;
}

int men_available() {
  const unsigned bits = tb_availability();
  return (bits & 0x30) != 0 ? 5 : (bits & 0x0C) != 0 ? 4 : (bits & 0x03) != 0 ? 3 : 0;
}

bool start_library(const Scheme& scheme, int32_t cache_megabytes) {
  library_paths = tbpaths_init();
  for (int f = 0; f < folders.count && library_paths != nullptr; f++)
    library_paths = tbpaths_add(library_paths, folders.folder[f]);
  if (library_paths == nullptr) return false;
  tb_init(0, scheme.code, library_paths);
  tbcache_init(static_cast<std::size_t>(cache_megabytes) * MEGABYTE, WDL_CACHE_FRACTION);
  return tb_is_initialized() != 0;
}

// Checks the folders and files; on success the library is running.
bool open_checked(const char* text, int32_t cache_megabytes) {
  if (!split_table_folders(text, &folders)) {
    say("too many folders or one too long in \"%s\", tables off", text, "");
    return false;
  }
  for (int f = 0; f < folders.count; f++)
    if (!is_folder(folders.folder[f])) {
      say("no folder %s%s, tables off", folders.folder[f], "");
      return false;
    }
  char empty[TABLE_FOLDER_SIZE + 2 * TABLE_NAME_SIZE];
  const Scheme* scheme = find_scheme(empty, sizeof(empty));
  if (empty[0] != '\0') {
    say("table file %s is empty%s, tables off", empty, "");
    return false;
  }
  if (scheme == nullptr) {
    say("no table files in %s%s, tables off", text, "");
    return false;
  }
  if (!start_library(*scheme, cache_megabytes)) {
    say("the tables in %s%s could not be opened, tables off", text, "");
    return false;
  }
  const char* bad_folder = nullptr;
  if (const char* bad = unreadable_file(*scheme, &bad_folder); bad != nullptr) {
    char file[TABLE_NAME_SIZE * 2];
    std::snprintf(file, sizeof(file), "%s%s", bad, scheme->extension);
    say("table file %s/%s cannot be read (damaged or cut short), tables off", bad_folder, file);
    return false;
  }
  if (men_available() == 0) {
    say("no usable tables in %s%s, tables off", text, "");
    return false;
  }
  return true;
}

}  // namespace

void tables_close() {
  tables_men = 0;
  if (library_paths == nullptr) return;
  tbcache_done();
  tb_done();
  library_paths = tbpaths_done(library_paths);
  library_paths = nullptr;
}

void tables_open(const char* text, int32_t cache_megabytes) {
  tables_close();
  if (text[0] == '\0') return;
  if (!open_checked(text, cache_megabytes)) {
    tables_close();
    return;
  }
  tables_men = men_available();
  char men[8];
  std::snprintf(men, sizeof(men), "%d", tables_men);
  say("tables of up to %s men open in %s", men, text);
}

bool tables_probe(uint8_t side, TableResult* result) {
  // Castling rights are not in the tables.
  if (castling_possible()) return false;
  unsigned squares[2][MEN_MAX + 1];
  unsigned char pieces[2][MEN_MAX + 1];
  for (int colour = WHITE; colour <= BLACK; colour++) {
    int k = 0;
    for (int code = KING; code >= PAWN; code--)
      for (uint64_t bits = men_bits[colour][code]; bits != 0 && k < MEN_MAX; bits &= bits - 1) {
        squares[colour][k] = static_cast<unsigned>(__builtin_ctzll(bits));
        pieces[colour][k] = static_cast<unsigned char>(code);
        k++;
      }
    squares[colour][k] = tb_NOSQUARE;
    pieces[colour][k] = tb_NOPIECE;
  }
  const unsigned ep = ep_square > 0 ? static_cast<unsigned>(ep_square) : unsigned{tb_NOSQUARE};
  unsigned info = 0, plies = 0;
  if (!tb_probe_hard(side == WHITE ? tb_WHITE_TO_MOVE : tb_BLACK_TO_MOVE, ep, tb_NOCASTLE, squares[0], squares[1],
                     pieces[0], pieces[1], &info, &plies))
    return false;
  const unsigned winner = info & tb_RESMASK;
  if (winner == tb_DRAW) {
    result->outcome = TABLE_DRAW;
  } else if (winner == tb_WMATE || winner == tb_BMATE) {
    const bool mover_wins = (winner == tb_WMATE) == (side == WHITE);
    result->outcome = mover_wins ? TABLE_WIN : TABLE_LOSS;
  } else {
    return false;
  }
  result->plies = static_cast<int>(plies);
  return true;
}
