// The rules of chess on a 10x12 mailbox: moves are generated as the pieces
// move, then kept only when the mover's king is not attacked afterwards.
#include "tools/chess_rules.h"

#include <cstring>
#include <initializer_list>

namespace rules {
namespace {

constexpr int NORTH = 10, EAST = 1;
constexpr int KNIGHT_STEPS[8] = {21, 19, 12, 8, -8, -12, -19, -21};
constexpr int DIAGONAL_STEPS[4] = {11, 9, -9, -11};
constexpr int STRAIGHT_STEPS[4] = {NORTH, EAST, -EAST, -NORTH};
constexpr int KING_STEPS[8] = {11, 10, 9, 1, -1, -9, -10, -11};
constexpr int PROMOTIONS[4] = {QUEEN, ROOK, BISHOP, KNIGHT};

// What each castling right moves, and what must be empty or safe for it.
struct Castling {
  int king_from, king_to, rook_from, rook_to;
  int between[3];  // cells between king and rook, 0 past the last
};
constexpr Castling CASTLINGS[4] = {
    {cell_of(4, 0), cell_of(6, 0), cell_of(7, 0), cell_of(5, 0), {cell_of(5, 0), cell_of(6, 0), 0}},
    {cell_of(4, 0), cell_of(2, 0), cell_of(0, 0), cell_of(3, 0), {cell_of(1, 0), cell_of(2, 0), cell_of(3, 0)}},
    {cell_of(4, 7), cell_of(6, 7), cell_of(7, 7), cell_of(5, 7), {cell_of(5, 7), cell_of(6, 7), 0}},
    {cell_of(4, 7), cell_of(2, 7), cell_of(0, 7), cell_of(3, 7), {cell_of(1, 7), cell_of(2, 7), cell_of(3, 7)}},
};

constexpr int MAX_MEN = 16;
constexpr int MAX_PAWNS = 8;
constexpr int MAX_COUNTER = 999999;
constexpr int FIELD_SIZE = 80;  // a board field is at most 64 + 7 characters

int sign_of(int side) { return side == WHITE ? 1 : -1; }
int file_of(int cell) { return cell % 10 - 1; }
int rank_of(int cell) { return cell / 10 - 2; }
int type_of(int8_t content) { return content < 0 ? -content : content; }
bool on_board(int cell) { return file_of(cell) >= 0 && file_of(cell) <= 7 && rank_of(cell) >= 0 && rank_of(cell) <= 7; }
bool blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

bool owned_by(int8_t content, int side) { return content != OFF && content * sign_of(side) > 0; }

int find_king(const Position& pos, int side) {
  for (int cell = 0; cell < BOARD_CELLS; cell++)
    if (pos.cell[cell] == KING * sign_of(side)) return cell;
  return 0;
}

// Whether a slider of one of two types stands at the end of a ray.
bool ray_hits(const Position& pos, int cell, int step, int8_t slider, int8_t queen) {
  int at = cell + step;
  while (pos.cell[at] == EMPTY) at += step;
  return pos.cell[at] == slider || pos.cell[at] == queen;
}

bool attacked_by(const Position& pos, int cell, int side) {
  const int s = sign_of(side);
  // A white pawn attacks upwards, so it stands below the cell it attacks.
  if (pos.cell[cell - s * 9] == s * PAWN || pos.cell[cell - s * 11] == s * PAWN) return true;
  for (int step : KNIGHT_STEPS)
    if (pos.cell[cell + step] == s * KNIGHT) return true;
  for (int step : KING_STEPS)
    if (pos.cell[cell + step] == s * KING) return true;
  for (int step : DIAGONAL_STEPS)
    if (ray_hits(pos, cell, step, static_cast<int8_t>(s * BISHOP), static_cast<int8_t>(s * QUEEN))) return true;
  for (int step : STRAIGHT_STEPS)
    if (ray_hits(pos, cell, step, static_cast<int8_t>(s * ROOK), static_cast<int8_t>(s * QUEEN))) return true;
  return false;
}

bool king_attacked(const Position& pos, int side) {
  const int king = find_king(pos, side);
  return king != 0 && attacked_by(pos, king, side ^ 1);
}

// Keeps the move when it does not leave the mover's own king attacked.
void add_if_legal(const Position& pos, int from, int to, int promotion, MoveList* list) {
  const Move move{static_cast<int8_t>(from), static_cast<int8_t>(to), static_cast<int8_t>(promotion)};
  Position after = pos;
  play_move(&after, move);
  if (king_attacked(after, pos.side)) return;
  if (list->count < MAX_MOVES) list->moves[list->count++] = move;
}

void add_pawn_move(const Position& pos, int from, int to, MoveList* list) {
  const int last_rank = pos.side == WHITE ? 7 : 0;
  if (rank_of(to) != last_rank) {
    add_if_legal(pos, from, to, EMPTY, list);
    return;
  }
  for (int piece : PROMOTIONS) add_if_legal(pos, from, to, piece, list);
}

void pawn_moves(const Position& pos, int from, MoveList* list) {
  const int forward = pos.side == WHITE ? NORTH : -NORTH;
  const int start_rank = pos.side == WHITE ? 1 : 6;
  if (pos.cell[from + forward] == EMPTY) {
    add_pawn_move(pos, from, from + forward, list);
    if (rank_of(from) == start_rank && pos.cell[from + 2 * forward] == EMPTY)
      add_if_legal(pos, from, from + 2 * forward, EMPTY, list);
  }
  for (int capture : {forward - EAST, forward + EAST}) {
    const int to = from + capture;
    if (owned_by(pos.cell[to], pos.side ^ 1) || (to == pos.ep && pos.ep != 0)) add_pawn_move(pos, from, to, list);
  }
}

void stepping_moves(const Position& pos, int from, const int* steps, int count, bool slides, MoveList* list) {
  for (int i = 0; i < count; i++) {
    for (int to = from + steps[i];; to += steps[i]) {
      const int8_t content = pos.cell[to];
      if (content == OFF || owned_by(content, pos.side)) break;
      add_if_legal(pos, from, to, EMPTY, list);
      if (content != EMPTY || !slides) break;
    }
  }
}

// The king may not castle out of, through or into check; the last is left
// to the common legality test.
void castling_moves(const Position& pos, MoveList* list) {
  const int s = sign_of(pos.side);
  for (int right = 2 * pos.side; right < 2 * pos.side + 2; right++) {
    const Castling& c = CASTLINGS[right];
    if (!pos.castle[right] || pos.cell[c.king_from] != s * KING || pos.cell[c.rook_from] != s * ROOK) continue;
    bool clear = true;
    for (int cell : c.between)
      if (cell != 0 && pos.cell[cell] != EMPTY) clear = false;
    // The rook lands on the square the king passes.
    if (!clear || attacked_by(pos, c.king_from, pos.side ^ 1) || attacked_by(pos, c.rook_to, pos.side ^ 1)) continue;
    add_if_legal(pos, c.king_from, c.king_to, EMPTY, list);
  }
}

// Copies the next blank-separated field of *text; false at the end or when
// it does not fit.
bool next_field(const char** text, char* field) {
  const char* p = *text;
  while (blank(*p)) p++;
  int n = 0;
  while (*p != '\0' && !blank(*p)) {
    if (n == FIELD_SIZE - 1) return false;
    field[n++] = *p++;
  }
  field[n] = '\0';
  *text = p;
  return n > 0;
}

bool read_board(Position* pos, const char* field) {
  int rank = 7, file = 0;
  bool last_was_digit = false;
  for (const char* p = field;; p++) {
    if (*p == '/' || *p == '\0') {
      if (file != 8) return false;
      if (*p == '\0') return rank == 0;
      if (--rank < 0) return false;
      file = 0;
      last_was_digit = false;
      continue;
    }
    if (*p >= '1' && *p <= '8') {
      if (last_was_digit || file + (*p - '0') > 8) return false;
      file += *p - '0';
      last_was_digit = true;
      continue;
    }
    const char* letters = "PNBRQKpnbrqk";
    const char* found = std::strchr(letters, *p);
    if (found == nullptr || file == 8) return false;
    const int index = static_cast<int>(found - letters);
    const int type = index % 6 + 1;
    pos->cell[cell_of(file, rank)] = static_cast<int8_t>(index < 6 ? type : -type);
    file++;
    last_was_digit = false;
  }
}

bool read_castling(Position* pos, const char* field) {
  if (std::strcmp(field, "-") == 0) return true;
  const char* letters = "KQkq";
  for (const char* p = field; *p != '\0'; p++) {
    const char* found = std::strchr(letters, *p);
    if (found == nullptr) return false;
    const int right = static_cast<int>(found - letters);
    if (pos->castle[right]) return false;
    pos->castle[right] = true;
  }
  return true;
}

// A pawn of the side that just moved must stand in front of the square it
// passed, with that square and the one it came from empty.
bool read_en_passant(Position* pos, const char* field) {
  if (std::strcmp(field, "-") == 0) return true;
  if (std::strlen(field) != 2 || field[0] < 'a' || field[0] > 'h') return false;
  const int rank = pos->side == WHITE ? 5 : 2;
  if (field[1] != '1' + rank) return false;
  const int cell = cell_of(field[0] - 'a', rank);
  const int toward_mover = pos->side == WHITE ? -NORTH : NORTH;
  if (pos->cell[cell] != EMPTY || pos->cell[cell - toward_mover] != EMPTY ||
      pos->cell[cell + toward_mover] != PAWN * sign_of(pos->side ^ 1))
    return false;
  pos->ep = cell;
  return true;
}

bool read_counter(const char* field, int lowest, int* value) {
  int n = 0;
  for (const char* p = field; *p != '\0'; p++) {
    if (*p < '0' || *p > '9') return false;
    n = n * 10 + (*p - '0');
    if (n > MAX_COUNTER) return false;
  }
  if (n < lowest) return false;
  *value = n;
  return true;
}

bool plausible_material(const Position& pos) {
  for (int side = WHITE; side <= BLACK; side++) {
    int kings = 0, men = 0, pawns = 0;
    for (int cell = 0; cell < BOARD_CELLS; cell++) {
      if (!owned_by(pos.cell[cell], side)) continue;
      men++;
      if (type_of(pos.cell[cell]) == KING) kings++;
      if (type_of(pos.cell[cell]) == PAWN) {
        pawns++;
        if (rank_of(cell) == 0 || rank_of(cell) == 7) return false;
      }
    }
    if (kings != 1 || men > MAX_MEN || pawns > MAX_PAWNS) return false;
  }
  return true;
}

bool castling_plausible(const Position& pos) {
  for (int right = 0; right < 4; right++) {
    const int s = right < BLACK_SHORT ? 1 : -1;
    const Castling& c = CASTLINGS[right];
    if (pos.castle[right] && (pos.cell[c.king_from] != s * KING || pos.cell[c.rook_from] != s * ROOK)) return false;
  }
  return true;
}

}  // namespace

bool set_fen(Position* pos, const char* fen) {
  if (fen == nullptr) return false;
  std::memset(pos, 0, sizeof(*pos));
  for (int cell = 0; cell < BOARD_CELLS; cell++) pos->cell[cell] = on_board(cell) ? EMPTY : OFF;
  pos->fullmove = 1;

  char fields[6][FIELD_SIZE];
  int count = 0;
  const char* rest = fen;
  while (count < 6 && next_field(&rest, fields[count])) count++;
  // A field too long to copy ends the count early and is refused here too.
  while (blank(*rest)) rest++;
  if (*rest != '\0' || (count != 4 && count != 6)) return false;

  if (!read_board(pos, fields[0])) return false;
  if (std::strcmp(fields[1], "w") == 0)
    pos->side = WHITE;
  else if (std::strcmp(fields[1], "b") == 0)
    pos->side = BLACK;
  else
    return false;
  if (!read_castling(pos, fields[2]) || !read_en_passant(pos, fields[3])) return false;
  if (count == 6 && (!read_counter(fields[4], 0, &pos->halfmove) || !read_counter(fields[5], 1, &pos->fullmove)))
    return false;
  return plausible_material(*pos) && castling_plausible(*pos) && !king_attacked(*pos, pos->side ^ 1);
}

void legal_moves(const Position& pos, MoveList* list) {
  list->count = 0;
  for (int from = 0; from < BOARD_CELLS; from++) {
    if (!owned_by(pos.cell[from], pos.side)) continue;
    switch (type_of(pos.cell[from])) {
      case PAWN: pawn_moves(pos, from, list); break;
      case KNIGHT: stepping_moves(pos, from, KNIGHT_STEPS, 8, false, list); break;
      case BISHOP: stepping_moves(pos, from, DIAGONAL_STEPS, 4, true, list); break;
      case ROOK: stepping_moves(pos, from, STRAIGHT_STEPS, 4, true, list); break;
      case QUEEN: stepping_moves(pos, from, KING_STEPS, 8, true, list); break;
      case KING: stepping_moves(pos, from, KING_STEPS, 8, false, list); break;
      default: break;
    }
  }
  castling_moves(pos, list);
}

void move_text(const Move& move, char text[MOVE_TEXT_SIZE]) {
  text[0] = static_cast<char>('a' + file_of(move.from));
  text[1] = static_cast<char>('1' + rank_of(move.from));
  text[2] = static_cast<char>('a' + file_of(move.to));
  text[3] = static_cast<char>('1' + rank_of(move.to));
  text[4] = move.promotion == EMPTY ? '\0' : " pnbrqk"[move.promotion];
  text[5] = '\0';
}

void play_move(Position* pos, const Move& move) {
  const int s = sign_of(pos->side);
  const int8_t piece = pos->cell[move.from];
  const int8_t captured = pos->cell[move.to];
  const bool pawn = type_of(piece) == PAWN;
  const bool en_passant = pawn && move.to == pos->ep && captured == EMPTY && file_of(move.to) != file_of(move.from);

  if (en_passant) pos->cell[move.to - s * NORTH] = EMPTY;
  pos->cell[move.to] = move.promotion == EMPTY ? piece : static_cast<int8_t>(s * move.promotion);
  pos->cell[move.from] = EMPTY;
  for (int right = 0; right < 4; right++) {
    const Castling& c = CASTLINGS[right];
    if (type_of(piece) == KING && move.from == c.king_from && move.to == c.king_to) {
      pos->cell[c.rook_to] = pos->cell[c.rook_from];
      pos->cell[c.rook_from] = EMPTY;
    }
  }
  // A right is gone once its king or rook has left home or the rook is taken there.
  for (int right = 0; right < 4; right++) {
    const Castling& c = CASTLINGS[right];
    if (move.from == c.king_from || move.from == c.rook_from || move.to == c.rook_from) pos->castle[right] = false;
  }

  pos->ep = pawn && (move.to - move.from == 2 * NORTH || move.from - move.to == 2 * NORTH)
                ? (move.from + move.to) / 2
                : 0;
  pos->halfmove = pawn || captured != EMPTY ? 0 : pos->halfmove + 1;
  if (pos->side == BLACK) pos->fullmove++;
  pos->side ^= 1;
}

bool play(Position* pos, const char* text) {
  if (text == nullptr) return false;
  MoveList list;
  legal_moves(*pos, &list);
  for (int i = 0; i < list.count; i++) {
    char candidate[MOVE_TEXT_SIZE];
    move_text(list.moves[i], candidate);
    if (std::strcmp(candidate, text) != 0) continue;
    play_move(pos, list.moves[i]);
    return true;
  }
  return false;
}

bool in_check(const Position& pos) { return king_attacked(pos, pos.side); }

bool checkmate(const Position& pos) {
  MoveList list;
  legal_moves(pos, &list);
  return list.count == 0 && in_check(pos);
}

bool stalemate(const Position& pos) {
  MoveList list;
  legal_moves(pos, &list);
  return list.count == 0 && !in_check(pos);
}

}  // namespace rules
