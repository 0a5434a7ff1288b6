// PGN as it comes from databases and editors: tag pairs, then movetext with
// move numbers, comments, NAGs, annotation marks and nested variations.
#include "tools/pgn_reader.h"

#include <cstring>

namespace {

constexpr int TOKEN_SIZE = 256;
constexpr int TAG_NAME_SIZE = 32;
constexpr int32_t ELO_CEILING = 1000000;  // growth stops here: far above any u16 rating

int next_char(PgnInput* in) {
  if (in->pushed != PGN_NOTHING_PUSHED) {
    const int c = in->pushed;
    in->pushed = PGN_NOTHING_PUSHED;
    return c;
  }
  if (in->file != nullptr) return std::fgetc(in->file);
  if (*in->text == '\0') return EOF;
  return static_cast<unsigned char>(*in->text++);
}

void push_back(PgnInput* in, int c) { in->pushed = c; }

bool is_blank(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

// Characters that end a movetext word.
bool is_delimiter(int c) { return c == EOF || is_blank(c) || (c != 0 && std::strchr("{}()[];$\"<>", c) != nullptr); }

void skip_brace_comment(PgnInput* in) {
  int c;
  do c = next_char(in);
  while (c != '}' && c != EOF);
}

void skip_line(PgnInput* in) {
  int c;
  do c = next_char(in);
  while (c != '\n' && c != EOF);
}

// Called after '('; comments inside may hold parentheses of their own.
void skip_variation(PgnInput* in) {
  int depth = 1;
  while (depth > 0) {
    const int c = next_char(in);
    if (c == EOF) return;
    if (c == '(') depth++;
    if (c == ')') depth--;
    if (c == '{') skip_brace_comment(in);
    if (c == ';') skip_line(in);
  }
}

int8_t result_of(const char* text) {
  if (std::strcmp(text, "1-0") == 0) return RESULT_WHITE;
  if (std::strcmp(text, "0-1") == 0) return RESULT_BLACK;
  if (std::strcmp(text, "1/2-1/2") == 0) return RESULT_DRAW;
  return RESULT_NONE;
}

bool is_result_token(const char* text) { return result_of(text) != RESULT_NONE || std::strcmp(text, "*") == 0; }

// Decimal digits only (blanks around allowed); -1 for "", "?", "-" and the like.
int32_t elo_of(const char* text) {
  while (*text == ' ') text++;
  if (*text < '0' || *text > '9') return -1;
  int32_t value = 0;
  for (; *text >= '0' && *text <= '9'; text++)
    if (value < ELO_CEILING) value = value * 10 + (*text - '0');
  while (*text == ' ') text++;
  return *text == '\0' ? value : -1;
}

// Reads the rest of a tag pair after '[', up to and including ']'.
void read_tag(PgnInput* in, PgnGame* game, bool* result_tagged) {
  char name[TAG_NAME_SIZE];
  char value[TOKEN_SIZE];
  int n = 0;
  int c = next_char(in);
  while (c == ' ' || c == '\t') c = next_char(in);
  while (c != EOF && !is_blank(c) && c != '"' && c != ']') {
    if (n < TAG_NAME_SIZE - 1) name[n++] = static_cast<char>(c);
    c = next_char(in);
  }
  name[n] = '\0';
  while (c == ' ' || c == '\t') c = next_char(in);
  n = 0;
  if (c == '"') {
    for (c = next_char(in); c != EOF && c != '"' && c != '\n'; c = next_char(in)) {
      if (c == '\\') {
        const int escaped = next_char(in);
        if (escaped == EOF) break;
        c = escaped;
      }
      if (n < TOKEN_SIZE - 1) value[n++] = static_cast<char>(c);
    }
    if (c == '"') c = next_char(in);
  }
  value[n] = '\0';
  while (c != ']' && c != '\n' && c != EOF) c = next_char(in);

  if (std::strcmp(name, "Result") == 0) {
    game->result = result_of(value);
    *result_tagged = true;
  } else if (std::strcmp(name, "WhiteElo") == 0) {
    game->white_elo = elo_of(value);
  } else if (std::strcmp(name, "BlackElo") == 0) {
    game->black_elo = elo_of(value);
  } else if (std::strcmp(name, "SetUp") == 0) {
    game->setup_flag = std::strcmp(value, "1") == 0;
  } else if (std::strcmp(name, "FEN") == 0) {
    game->has_fen = true;
    std::strncpy(game->fen, value, PGN_FEN_SIZE - 1);
    game->fen[PGN_FEN_SIZE - 1] = '\0';
  }
}

// Evaluation glyphs some editors write as words of their own ("!?", "+-").
bool is_glyph(const char* text) {
  if (std::strcmp(text, "--") == 0) return false;  // a null move: reported, not dropped
  if (std::strspn(text, "!?") == std::strlen(text)) return true;
  return std::strspn(text, "+-=/") == std::strlen(text);
}

// A movetext word other than a result: a move, possibly glued to its number
// ("12.e4", "12...Nf6"), or a bare number or dots.
void add_move_word(PgnGame* game, const char* word) {
  const char* p = word;
  if (std::strncmp(p, "0-0", 3) != 0) {
    if (*p >= '0' && *p <= '9') {
      const char* q = p;
      while (*q >= '0' && *q <= '9') q++;
      if (*q == '.' || *q == '\0') p = q;
    }
    while (*p == '.') p++;
  }
  if (*p == '\0' || is_glyph(p)) return;
  if (game->move_count == PGN_MAX_MOVES) return;
  char* slot = game->moves[game->move_count++];
  const size_t length = std::strlen(p);
  if (length < PGN_MOVE_SIZE) {
    std::memcpy(slot, p, length + 1);
  } else {
    // Shown cut short in reports; no move reads with dots inside.
    std::memcpy(slot, p, PGN_MOVE_SIZE - 4);
    std::memcpy(slot + PGN_MOVE_SIZE - 4, "...", 4);
  }
}

void clear_game(PgnGame* game) {
  game->result = RESULT_NONE;
  game->white_elo = -1;
  game->black_elo = -1;
  game->has_fen = false;
  game->setup_flag = false;
  game->fen[0] = '\0';
  game->move_count = 0;
}

}  // namespace

void pgn_open_file(PgnInput* in, std::FILE* file) {
  in->file = file;
  in->text = nullptr;
  in->pushed = PGN_NOTHING_PUSHED;
}

void pgn_open_text(PgnInput* in, const char* text) {
  in->file = nullptr;
  in->text = text;
  in->pushed = PGN_NOTHING_PUSHED;
}

bool read_pgn_game(PgnInput* in, PgnGame* game) {
  clear_game(game);
  bool seen = false;      // a tag or a movetext word of this game was read
  bool in_moves = false;  // movetext has begun: the next tag opens a new game
  bool result_tagged = false;
  char word[TOKEN_SIZE];

  for (;;) {
    int c = next_char(in);
    if (c == EOF) return seen;
    if (is_blank(c)) continue;
    switch (c) {
      case '[':
        if (in_moves) {
          // The previous game lacked its closing result.
          push_back(in, c);
          return true;
        }
        read_tag(in, game, &result_tagged);
        seen = true;
        continue;
      case '{': skip_brace_comment(in); continue;
      case ';': skip_line(in); continue;
      case '(': skip_variation(in); continue;
      case '$':
        do c = next_char(in);
        while (c >= '0' && c <= '9');
        push_back(in, c);
        continue;
      default: break;
    }
    if (is_delimiter(c)) continue;  // stray ')', ']', quotes

    int n = 0;
    while (!is_delimiter(c)) {
      if (n < TOKEN_SIZE - 1) word[n++] = static_cast<char>(c);
      c = next_char(in);
    }
    push_back(in, c);
    word[n] = '\0';
    seen = true;
    if (is_result_token(word)) {
      if (!result_tagged) game->result = result_of(word);
      return true;
    }
    in_moves = true;
    add_move_word(game, word);
  }
}
