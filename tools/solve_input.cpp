// Reading and checking the problems. The engine's own FEN reader skips what
// it cannot read, so the fields are checked here first: a composer's typing
// error must not become another problem.
#include "tools/solve_input.h"

#include <cstdlib>
#include <cstring>

#include "protocol/game_setup.h"

namespace {

constexpr int LINE_SIZE = 4096;

void say(char* why, const char* text, const char* detail = "") {
  std::snprintf(why, SOLVE_WHY_SIZE, "%s%s", text, detail);
}

// The board field as 64 letters, a8 first; false when malformed.
bool read_board(const char* field, char cells[64], char* why) {
  int rank = 0, file = 0;
  for (const char* p = field; *p != '\0'; p++) {
    if (*p == '/') {
      if (file != 8) return say(why, "malformed FEN: a rank of the board is not 8 squares"), false;
      if (++rank > 7) return say(why, "malformed FEN: more than 8 ranks"), false;
      file = 0;
    } else if (std::strchr("12345678pnbrqkPNBRQK", *p) == nullptr) {
      return say(why, "malformed FEN: unexpected board character"), false;
    } else if (file + (*p >= '1' && *p <= '8' ? *p - '0' : 1) > 8) {
      return say(why, "malformed FEN: a rank of the board is not 8 squares"), false;
    } else if (*p >= '1' && *p <= '8') {
      for (int k = 0; k < *p - '0'; k++) cells[rank * 8 + file++] = ' ';
    } else {
      cells[rank * 8 + file++] = *p;
    }
  }
  if (rank != 7 || file != 8) return say(why, "malformed FEN: the board needs 8 ranks of 8 squares"), false;
  return true;
}

char at(const char cells[64], int file, int rank) { return cells[(7 - rank) * 8 + file]; }

// Kings, pawns and castling rights that no game can reach.
bool board_sound(const char cells[64], const char* castling, char* why) {
  int white_kings = 0, black_kings = 0;
  for (int s = 0; s < 64; s++) {
    white_kings += cells[s] == 'K';
    black_kings += cells[s] == 'k';
    if ((cells[s] == 'P' || cells[s] == 'p') && (s < 8 || s >= 56))
      return say(why, "illegal position: a pawn on the first or last rank"), false;
  }
  if (white_kings != 1 || black_kings != 1) return say(why, "illegal position: not one king a side"), false;
  static constexpr struct { char right, king, rook; int rook_file, rank; } homes[] = {
      {'K', 'K', 'R', 7, 0}, {'Q', 'K', 'R', 0, 0}, {'k', 'k', 'r', 7, 7}, {'q', 'k', 'r', 0, 7}};
  for (const auto& h : homes)
    if (std::strchr(castling, h.right) != nullptr &&
        (at(cells, 4, h.rank) != h.king || at(cells, h.rook_file, h.rank) != h.rook))
      return say(why, "illegal position: a castling right without its king and rook at home"), false;
  return true;
}

bool castling_field(const char* field) {
  if (std::strcmp(field, "-") == 0) return true;
  if (*field == '\0' || std::strlen(field) > 4) return false;
  for (const char* p = field; *p != '\0'; p++)
    if (std::strchr("KQkq", *p) == nullptr || std::strchr(p + 1, *p) != nullptr) return false;
  return true;
}

// An en-passant square needs the pawn that has just passed it.
bool ep_field(const char* field, const char cells[64], bool white, char* why) {
  if (std::strcmp(field, "-") == 0) return true;
  const int file = field[0] - 'a', rank = field[1] - '1';
  if (std::strlen(field) != 2 || file < 0 || file > 7 || rank != (white ? 5 : 2))
    return say(why, "malformed FEN: en-passant field ", field), false;
  const int pawn_rank = white ? 4 : 3;
  if (at(cells, file, pawn_rank) != (white ? 'p' : 'P') || at(cells, file, rank) != ' ')
    return say(why, "illegal position: no pawn has just passed the en-passant square ", field), false;
  return true;
}

bool is_number(const char* word) {
  if (*word == '\0') return false;
  for (const char* p = word; *p != '\0'; p++)
    if (*p < '0' || *p > '9') return false;
  return true;
}

// Splits `text` into blank-separated words (at most `most`); the count.
int split(char* text, char** words, int most) {
  int n = 0;
  for (char* p = std::strtok(text, " \t"); p != nullptr; p = std::strtok(nullptr, " \t")) {
    if (n == most) return most + 1;
    words[n++] = p;
  }
  return n;
}

// Checks the four FEN fields and writes them, joined, to problem->fen.
bool read_fen(char** f, SolveProblem* problem, char* why) {
  char cells[64];
  if (!read_board(f[0], cells, why)) return false;
  if (std::strcmp(f[1], "w") != 0 && std::strcmp(f[1], "b") != 0)
    return say(why, "malformed FEN: the side to move is not w or b"), false;
  if (!castling_field(f[2])) return say(why, "malformed FEN: castling field ", f[2]), false;
  if (!ep_field(f[3], cells, f[1][0] == 'w', why) || !board_sound(cells, f[2], why)) return false;
  std::snprintf(problem->fen, SOLVE_FEN_SIZE, "%s %s %s %s", f[0], f[1], f[2], f[3]);
  return true;
}

bool read_moves(const char* text, SolveProblem* problem, char* why) {
  const long n = is_number(text) && std::strlen(text) < 4 ? std::atol(text) : -1;
  if (n < 1 || n > MAX_SOLVE_MOVES) {
    std::snprintf(why, SOLVE_WHY_SIZE, "the number of moves \"%s\" is not from 1 to %d", text, MAX_SOLVE_MOVES);
    return false;
  }
  problem->moves = static_cast<int>(n);
  return true;
}

// The operand of "dm N" or "bm #N" among the EPD operations; nullptr when none.
const char* mate_operand(char* operations) {
  for (char* op = operations; op != nullptr && *op != '\0';) {
    char* end = std::strchr(op, ';');
    if (end != nullptr) *end = '\0';
    while (*op == ' ' || *op == '\t') op++;
    if (std::strncmp(op, "dm ", 3) == 0) return op + 3;
    if (std::strncmp(op, "bm #", 4) == 0) return op + 4;
    op = end != nullptr ? end + 1 : nullptr;
  }
  return nullptr;
}

bool read_epd_line(char* line, SolveProblem* problem, char* why) {
  char* fields[4];
  char* rest = line;
  for (int k = 0; k < 4; k++) {
    while (*rest == ' ' || *rest == '\t') rest++;
    if (*rest == '\0') return say(why, "malformed FEN: fewer than four fields"), false;
    fields[k] = rest;
    rest += std::strcspn(rest, " \t");
    if (*rest != '\0') *rest++ = '\0';
  }
  if (!read_fen(fields, problem, why)) return false;
  const char* operand = mate_operand(rest);
  if (operand == nullptr) return say(why, "no \"dm N;\" or \"bm #N;\""), false;
  char number[16];
  std::snprintf(number, sizeof(number), "%.*s", static_cast<int>(std::strcspn(operand, " \t")), operand);
  return read_moves(number, problem, why);
}

}  // namespace

bool problem_from_arguments(const char* fen, const char* moves, SolveProblem* problem, char* why) {
  problem->line = 0;
  char text[LINE_SIZE];
  std::snprintf(text, sizeof(text), "%s", fen);
  char* f[7];
  const int n = split(text, f, 6);
  // A full FEN may end with its two move counters.
  if (n != 4 && !(n == 6 && is_number(f[4]) && is_number(f[5])))
    return say(why, "malformed FEN: not four (or six) fields"), false;
  return read_fen(f, problem, why) && read_moves(moves, problem, why);
}

bool epd_open(EpdReader* reader, const char* path) {
  reader->file = std::fopen(path, "r");
  reader->line = 0;
  return reader->file != nullptr;
}

void epd_close(EpdReader* reader) {
  if (reader->file != nullptr) std::fclose(reader->file);
  reader->file = nullptr;
}

ReadResult epd_next(EpdReader* reader, SolveProblem* problem, char* why) {
  static char line[LINE_SIZE];
  while (std::fgets(line, sizeof(line), reader->file) != nullptr) {
    problem->line = ++reader->line;
    const size_t length = std::strcspn(line, "\r\n");
    if (line[length] == '\0' && !std::feof(reader->file)) {
      for (int c = 0; c != EOF && c != '\n';) c = std::fgetc(reader->file);
      say(why, "line too long");
      return READ_BAD;
    }
    line[length] = '\0';
    const char* p = line + std::strspn(line, " \t");
    if (*p == '\0' || *p == '#') continue;
    return read_epd_line(line, problem, why) ? READ_PROBLEM : READ_BAD;
  }
  return READ_END;
}

bool set_up_problem(const SolveProblem& problem, char* why) {
  char text[SOLVE_FEN_SIZE + 16];
  std::snprintf(text, sizeof(text), "setboard %s", problem.fen);
  new_game();
  if (setup_fen(text) == 1) return true;
  say(why, "illegal position: the side not to move is in check");
  return false;
}
