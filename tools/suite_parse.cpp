// EPD and UCI info parsing for the mate suite.
#include "tools/suite_parse.h"

#include <cstdlib>
#include <cstring>

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The next blank-separated word: its start and length; length 0 at the end.
const char* next_word(const char* p, int* length) {
  while (*p != '\0' && is_blank(*p)) p++;
  int n = 0;
  while (p[n] != '\0' && !is_blank(p[n])) n++;
  *length = n;
  return p;
}

bool word_is(const char* word, int length, const char* expected) {
  return static_cast<int>(std::strlen(expected)) == length && std::strncmp(word, expected, length) == 0;
}

// A decimal number filling the whole word, optionally signed.
bool read_number(const char* word, int length, long long* value) {
  if (length == 0 || length > 18) return false;  // no overflow
  int i = word[0] == '-' || word[0] == '+' ? 1 : 0;
  if (i == length) return false;
  long long v = 0;
  for (int k = i; k < length; k++) {
    if (word[k] < '0' || word[k] > '9') return false;
    v = v * 10 + (word[k] - '0');
  }
  *value = word[0] == '-' ? -v : v;
  return true;
}

}  // namespace

bool parse_digits(const char* text, int length, long long* value) {
  return length > 0 && text[0] != '-' && text[0] != '+' && read_number(text, length, value);
}

bool parse_mate_epd(const char* line, char* fen, int* known) {
  const char* p = line;
  int fen_length = 0;
  for (int field = 0; field < 4; field++) {
    int length = 0;
    const char* word = next_word(p, &length);
    if (length == 0) return false;
    if (fen_length + length + 1 >= SUITE_FEN_SIZE) return false;
    if (field > 0) fen[fen_length++] = ' ';
    std::memcpy(fen + fen_length, word, length);
    fen_length += length;
    p = word + length;
  }
  fen[fen_length] = '\0';

  // Opcodes end at ';'; only "bm #N" matters here.
  for (;;) {
    int length = 0;
    const char* word = next_word(p, &length);
    if (length == 0) return false;
    p = word + length;
    if (!word_is(word, length, "bm")) continue;
    const char* operand = next_word(p, &length);
    if (length > 0 && operand[length - 1] == ';') length--;
    long long n = 0;
    if (length < 2 || operand[0] != '#' || !read_number(operand + 1, length - 1, &n) || n < 1 || n > 500)
      return false;
    *known = static_cast<int>(n);
    return true;
  }
}

bool parse_info(const char* line, InfoLine* info) {
  *info = InfoLine{};
  int length = 0;
  const char* word = next_word(line, &length);
  if (!word_is(word, length, "info")) return false;
  const char* p = word + length;

  for (;;) {
    word = next_word(p, &length);
    if (length == 0) return true;
    p = word + length;
    if (word_is(word, length, "string")) return true;
    if (word_is(word, length, "pv")) {
      const char* moves = next_word(p, &length);
      info->pv = moves;
      return true;
    }
    long long value = 0;
    if (word_is(word, length, "score")) {
      // "score cp X" or "score mate M", either possibly followed by a bound.
      const char* kind = next_word(p, &length);
      const bool mate = word_is(kind, length, "mate");
      p = kind + length;
      const char* number = next_word(p, &length);
      if (read_number(number, length, &value)) {
        p = number + length;
        if (mate) {
          info->has_mate = true;
          info->mate = value > 100000 ? 100000 : value < -100000 ? -100000 : static_cast<int>(value);
        }
      }
      const char* bound = next_word(p, &length);
      if (word_is(bound, length, "lowerbound") || word_is(bound, length, "upperbound")) {
        info->bound = true;
        p = bound + length;
      }
    } else if (word_is(word, length, "nodes") || word_is(word, length, "nps")) {
      const bool nodes = word[1] == 'o';
      const char* number = next_word(p, &length);
      if (read_number(number, length, &value) && value >= 0) {
        p = number + length;
        if (nodes) {
          info->has_nodes = true;
          info->nodes = static_cast<uint64_t>(value);
        } else {
          info->has_nps = true;
          info->nps = static_cast<uint64_t>(value);
        }
      }
    }
  }
}
