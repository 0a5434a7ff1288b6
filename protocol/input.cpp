// Line reading and tokenising over raw reads of standard input.
#include "protocol/input.h"

#include <cstring>

#include "protocol/platform.h"

char pending_input[INPUT_BUFFER_SIZE];
char* tokens[MAX_TOKENS];
int token_count;

namespace {

char long_slots[LONG_TOKEN_SLOTS][LONG_TOKEN_SIZE];
char short_slots[MAX_TOKENS - LONG_TOKEN_SLOTS][SHORT_TOKEN_SIZE];

[[maybe_unused]] const bool slots_ready = [] {
  for (int i = 0; i < MAX_TOKENS; i++)
    tokens[i] = i < LONG_TOKEN_SLOTS ? long_slots[i] : short_slots[i - LONG_TOKEN_SLOTS];
  return true;
}();

int slot_capacity(int i) { return i < LONG_TOKEN_SLOTS ? LONG_TOKEN_SIZE - 1 : SHORT_TOKEN_SIZE - 1; }

bool dropping_rest_of_line;  // the current line was too long and was cut
bool line_was_cut;
bool input_ended;
bool token_overflow;

// Removes the first `count` bytes of pending_input.
void consume_pending(std::size_t count) {
  std::size_t length = std::strlen(pending_input);
  std::memmove(pending_input, pending_input + count, length - count + 1);
}

void copy_line(char* line, const char* text, std::size_t length) {
  std::memcpy(line, text, length);
  line[length] = '\0';
  if (char* cr = std::strchr(line, '\r')) *cr = ' ';
}

}  // namespace

void clear_pending_input() {
  pending_input[0] = '\0';
  dropping_rest_of_line = false;
}

void reset_input() {
  clear_pending_input();
  line_was_cut = false;
  input_ended = false;
  token_overflow = false;
}

bool pending_has_line() {
  return std::strchr(pending_input, '\n') != nullptr ||
         std::strlen(pending_input) == INPUT_BUFFER_SIZE - 1;
}

int fill_pending_input() {
  std::size_t length = std::strlen(pending_input);
  int room = static_cast<int>(INPUT_BUFFER_SIZE - 1 - length);
  if (room <= 0) return 0;
  int n = platform_read_input(pending_input + length, room);
  if (n <= 0) {
    pending_input[length] = '\0';
    input_ended = true;
    return n;
  }
  // A zero byte would end the text early; read it as a blank.
  for (int i = 0; i < n; i++)
    if (pending_input[length + i] == '\0') pending_input[length + i] = ' ';
  pending_input[length + n] = '\0';
  if (dropping_rest_of_line) {
    if (char* lf = std::strchr(pending_input, '\n')) {
      consume_pending(static_cast<std::size_t>(lf - pending_input) + 1);
      dropping_rest_of_line = false;
    } else {
      pending_input[0] = '\0';
    }
  }
  return n;
}

bool take_line(char* line) {
  if (const char* lf = std::strchr(pending_input, '\n')) {
    std::size_t length = static_cast<std::size_t>(lf - pending_input);
    copy_line(line, pending_input, length);
    consume_pending(length + 1);
    line_was_cut = false;
    return true;
  }
  std::size_t length = std::strlen(pending_input);
  if (length == INPUT_BUFFER_SIZE - 1) {
    copy_line(line, pending_input, length);
    pending_input[0] = '\0';
    dropping_rest_of_line = true;
    line_was_cut = true;
    return true;
  }
  return false;
}

bool last_line_cut() { return line_was_cut; }

bool input_closed() { return input_ended; }

bool read_input_line(char* line) {
  for (;;) {
    if (take_line(line)) return true;
    if (input_ended) {
      std::size_t length = std::strlen(pending_input);
      if (length == 0) return false;
      copy_line(line, pending_input, length);
      pending_input[0] = '\0';
      line_was_cut = false;
      return true;
    }
    fill_pending_input();
  }
}

int tokenize(const char* line) {
  for (int i = 0; i < MAX_TOKENS; i++) tokens[i][0] = '\0';
  token_count = 0;
  token_overflow = false;
  const char* p = line;
  auto separator = [](char c) { return c == ' ' || c == ';'; };
  for (;;) {
    while (*p != '\0' && separator(*p)) p++;
    if (*p == '\0') break;
    if (token_count == MAX_TOKENS) {
      token_overflow = true;
      break;
    }
    const char* start = p;
    while (*p != '\0' && !separator(*p)) p++;
    std::size_t length = static_cast<std::size_t>(p - start);
    std::size_t capacity = static_cast<std::size_t>(slot_capacity(token_count));
    if (length > capacity) length = capacity;
    std::memcpy(tokens[token_count], start, length);
    tokens[token_count][length] = '\0';
    token_count++;
  }
  return token_count;
}

bool tokens_overflowed() { return token_overflow; }

int32_t parse_number(const char* text) {
  const char* p = text;
  while (*p == ' ' || (*p >= '\t' && *p <= '\r')) p++;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  int64_t value = 0;
  for (; *p >= '0' && *p <= '9'; p++) {
    value = value * 10 + (*p - '0');
    if (value > INT32_MAX + int64_t{1}) value = INT32_MAX + int64_t{1};
  }
  if (negative) value = -value;
  if (value > INT32_MAX) value = INT32_MAX;
  return static_cast<int32_t>(value);
}

int32_t token_number(int i) { return i >= 0 && i < MAX_TOKENS ? parse_number(tokens[i]) : 0; }
