// A recursive-descent JSON reader. Strings keep their escapes' characters
// for \" \\ \/ and the control letters; \u escapes are refused, which no
// solution needs.
#include "tools/json_read.h"

#include <cstdlib>
#include <cstring>

namespace {

struct Reader {
  const char* p;
  int depth;
};

constexpr int MAX_DEPTH = 512;

void skip_blanks(Reader* r) {
  while (*r->p == ' ' || *r->p == '\t' || *r->p == '\n' || *r->p == '\r') r->p++;
}

bool read_value(Reader* r, JsonValue* v);

bool read_string(Reader* r, std::string* out) {
  if (*r->p != '"') return false;
  for (r->p++; *r->p != '"'; r->p++) {
    if (*r->p == '\0') return false;
    if (*r->p != '\\') {
      *out += *r->p;
      continue;
    }
    const char* escapes = "\"\\/bfnrt";
    const char* meant = "\"\\/\b\f\n\r\t";
    const char* at = std::strchr(escapes, *++r->p);
    if (*r->p == '\0' || at == nullptr) return false;
    *out += meant[at - escapes];
  }
  r->p++;
  return true;
}

bool read_word(Reader* r, const char* word) {
  const size_t n = std::strlen(word);
  if (std::strncmp(r->p, word, n) != 0) return false;
  r->p += n;
  return true;
}

// Items of an array or fields of an object, up to the closing bracket.
bool read_members(Reader* r, JsonValue* v, char close) {
  r->p++;
  skip_blanks(r);
  if (*r->p == close) return r->p++, true;
  for (;;) {
    skip_blanks(r);
    if (close == '}') {
      v->names.emplace_back();
      if (!read_string(r, &v->names.back())) return false;
      skip_blanks(r);
      if (*r->p++ != ':') return false;
    }
    v->items.emplace_back();
    if (!read_value(r, &v->items.back())) return false;
    skip_blanks(r);
    if (*r->p == close) return r->p++, true;
    if (*r->p++ != ',') return false;
  }
}

bool read_value(Reader* r, JsonValue* v) {
  if (++r->depth > MAX_DEPTH) return false;
  skip_blanks(r);
  bool ok = true;
  const char c = *r->p;
  if (c == '{' || c == '[') {
    v->kind = c == '{' ? JsonValue::OBJECT : JsonValue::ARRAY;
    ok = read_members(r, v, c == '{' ? '}' : ']');
  } else if (c == '"') {
    v->kind = JsonValue::STRING;
    ok = read_string(r, &v->text);
  } else if (c == 't' || c == 'f') {
    v->kind = JsonValue::BOOLEAN;
    v->boolean = c == 't';
    ok = read_word(r, c == 't' ? "true" : "false");
  } else if (c == 'n') {
    ok = read_word(r, "null");
  } else {
    char* end = nullptr;
    v->kind = JsonValue::NUMBER;
    v->number = std::strtod(r->p, &end);
    ok = end != r->p && (c == '-' || (c >= '0' && c <= '9'));
    r->p = end;
  }
  r->depth--;
  return ok;
}

}  // namespace

const JsonValue* JsonValue::get(const char* key) const {
  if (kind != OBJECT) return nullptr;
  for (size_t i = 0; i < names.size(); i++)
    if (names[i] == key) return &items[i];
  return nullptr;
}

bool json_read(const std::string& text, JsonValue* value) {
  Reader r{text.c_str(), 0};
  *value = JsonValue{};
  if (!read_value(&r, value)) return false;
  skip_blanks(&r);
  return *r.p == '\0';
}
