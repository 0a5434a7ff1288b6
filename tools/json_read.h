// A small JSON reader, enough for the one-line objects that solve writes:
// the checks read them back without trusting the tool's own writer.
#pragma once

#include <string>
#include <vector>

struct JsonValue {
  enum Kind { NUL, BOOLEAN, NUMBER, STRING, ARRAY, OBJECT } kind = NUL;
  bool boolean = false;
  double number = 0;
  std::string text;
  std::vector<JsonValue> items;    // ARRAY, or an OBJECT's values
  std::vector<std::string> names;  // an OBJECT's names, in order (a vector of
                                   // pairs would need JsonValue complete)

  // The field `key` of an object; nullptr when absent or not an object.
  const JsonValue* get(const char* key) const;
};

// Reads one JSON value filling the whole text (blanks around it allowed);
// false for anything else.
bool json_read(const std::string& text, JsonValue* value);
