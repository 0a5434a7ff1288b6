// The command line of mate-suite.
#include "tools/suite_args.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "tools/suite_notes.h"
#include "tools/suite_parse.h"

#ifndef TERVALK_DEFAULT_PATH
#define TERVALK_DEFAULT_PATH "tervalk"
#endif

SuiteSettings settings;

namespace {

constexpr long long MAX_SHARDS = 1000000;
constexpr long long MAX_JOBS = 256;

// Without --engine the suite drives the tervalk installed beside it, else the
// one it was built with; started through PATH, it finds tervalk there too.
const char* default_engine(const char* self) {
  static std::string sibling;
  const std::filesystem::path me(self);
  if (!me.has_parent_path()) return "tervalk";
  // tervalk.exe beside mate-suite.exe on Windows.
  std::filesystem::path beside = me.parent_path() / "tervalk";
  beside.replace_extension(me.extension());
  std::error_code ignored;
  if (!std::filesystem::is_regular_file(beside, ignored)) return TERVALK_DEFAULT_PATH;
  sibling = beside.string();
  return sibling.c_str();
}

// A whole number from 1 to `most`.
bool read_count_text(const char* text, size_t length, long long most, int* value) {
  long long number = 0;
  if (!parse_digits(text, static_cast<int>(length), &number) || number < 1 || number > most) return false;
  *value = static_cast<int>(number);
  return true;
}

// "K/M" with 1 <= K <= M.
bool read_shard(const char* text) {
  const char* slash = std::strchr(text, '/');
  const bool read = slash != nullptr && read_count_text(text, slash - text, MAX_SHARDS, &settings.shard) &&
                    read_count_text(slash + 1, std::strlen(slash + 1), MAX_SHARDS, &settings.shards) &&
                    settings.shard <= settings.shards;
  if (!read) {
    note_prefix();
    std::fprintf(stderr, "--shard %s: wants K/M, whole numbers with 1 <= K <= M <= %lld\n", text, MAX_SHARDS);
  }
  return read;
}

bool read_jobs(const char* text) {
  const bool read = read_count_text(text, std::strlen(text), MAX_JOBS, &settings.jobs);
  if (!read) {
    note_prefix();
    std::fprintf(stderr, "--jobs %s: wants a whole number from 1 to %lld\n", text, MAX_JOBS);
  }
  return read;
}

}  // namespace

int usage() {
  std::fprintf(stderr,
               "usage: mate-suite [--engine PATH] [--ms N] [--csv FILE] [--first K] [--shard K/M] [--jobs N] "
               "[--claim DIR] [--option NAME=VALUE ...] [--matt-in-known] [--go-mate] [--shorter] [--ucinewgame] "
               "[--quiet] EPD\n"
               "       mate-suite --merge [--csv FILE] CSV...\n");
  return 2;
}

bool read_settings(int argc, char** argv) {
  for (int i = 1; i < argc; i++) {
    const char* arg = argv[i];
    const bool has_value = i + 1 < argc;
    if (std::strcmp(arg, "--engine") == 0 && has_value) {
      settings.engine = argv[++i];
    } else if (std::strcmp(arg, "--ms") == 0 && has_value) {
      settings.ms = std::atoi(argv[++i]);
      if (settings.ms < 1) return false;
    } else if (std::strcmp(arg, "--csv") == 0 && has_value) {
      settings.csv = argv[++i];
    } else if (std::strcmp(arg, "--first") == 0 && has_value) {
      settings.first = std::atol(argv[++i]);
      if (settings.first < 1) return false;
    } else if (std::strcmp(arg, "--shard") == 0 && has_value) {
      if (!read_shard(argv[++i])) return false;
    } else if (std::strcmp(arg, "--jobs") == 0 && has_value) {
      if (!read_jobs(argv[++i])) return false;
    } else if (std::strcmp(arg, "--claim") == 0 && has_value) {
      settings.claims = argv[++i];
    } else if (std::strcmp(arg, "--option") == 0 && has_value) {
      if (settings.option_count == MAX_OPTIONS) return false;
      settings.options[settings.option_count++] = argv[++i];
    } else if (std::strcmp(arg, "--matt-in-known") == 0) {
      settings.matt_in_known = true;
    } else if (std::strcmp(arg, "--go-mate") == 0) {
      settings.go_mate = true;
    } else if (std::strcmp(arg, "--shorter") == 0) {
      settings.shorter = true;
    } else if (std::strcmp(arg, "--ucinewgame") == 0) {
      settings.new_game_each = true;
    } else if (std::strcmp(arg, "--quiet") == 0) {
      settings.quiet = true;
    } else if (std::strcmp(arg, "--merge") == 0) {
      settings.merge = true;
    } else if (arg[0] == '-') {
      return false;
    } else {
      settings.inputs.push_back(arg);
    }
  }
  if (settings.merge) return !settings.inputs.empty();
  if (settings.inputs.size() != 1) return false;
  settings.epd = settings.inputs[0];
  if (settings.engine == nullptr) settings.engine = default_engine(argv[0]);
  return true;
}
