// The optional command-line numbers: hash entries and score-table entries.
// Their messages are German, in code page 437 (0x84 is a-umlaut, 0x81 u-umlaut).
#include <cstdio>

#include "protocol/input.h"
#include "settings.h"
#include "protocol/startup.h"

namespace {

// Byte-wise unsigned comparison, a string that ends first being the smaller.
int compare_bytes(const char* a, const char* b) {
  const auto* x = reinterpret_cast<const unsigned char*>(a);
  const auto* y = reinterpret_cast<const unsigned char*>(b);
  while (*x != 0 && *x == *y) x++, y++;
  return *x < *y ? -1 : *x > *y ? 1 : 0;
}

bool valid_hash_entries(uint32_t entries) {
  for (uint32_t valid = 16384; valid <= 4194304; valid *= 2)
    if (entries == valid) return true;
  return false;
}

void echo_hash_entries(int32_t entries) {
  std::printf("Eintr\x84ge Hashtabelle: %7ld (default: %7ld)\n", static_cast<long>(entries),
              static_cast<long>(DEFAULT_HASH_ENTRIES));
}

void echo_score_entries(int32_t entries) {
  std::printf("Eintr\x84ge Scoretabelle:%7ld (default: %7ld)\n", static_cast<long>(entries),
              static_cast<long>(DEFAULT_SCORE_ENTRIES));
}

}  // namespace

int parse_command_line(int argc, char** argv) {
  const int count = argc - 1;
  if (count >= 1 && compare_bytes(argv[1], "setboard") > 0) return -1;

  if (count == 2) {
    const int32_t entries = parse_number(argv[1]);
    if (static_cast<uint32_t>(entries) < 16384) {
      std::printf("Wert f\x81r Hashtabelle (%7ld) ist zu klein!!\n", static_cast<long>(entries));
      return 1;
    }
    if (!valid_hash_entries(static_cast<uint32_t>(entries))) {
      std::printf("Ung\x81ltiger Wert (%7ld) f\x81r Hashtabelle!!\n", static_cast<long>(entries));
      std::printf("\n G\x81ltige Werte: 16384, 32768, 65536, 131072, 262144, 524288,\n 1048576, 2097152, 4194304");
      return 1;
    }
    hash_mask = static_cast<uint32_t>(entries) - 1;
    echo_hash_entries(entries);
    const int32_t score_entries = parse_number(argv[2]);
    score_table_entries = static_cast<uint32_t>(score_entries);
    if (score_table_entries < 50000) {
      std::printf("Wert f\x81r 2. Hashtabelle (%7ld) ist zu klein!!\n", static_cast<long>(score_entries));
      return 1;
    }
    echo_score_entries(score_entries);
  } else if (count == 3) {
    // The unchecked form; 2233 as first number asks for the banner.
    const int32_t entries = parse_number(argv[1]);
    hash_mask = static_cast<uint32_t>(entries) - 1;
    echo_hash_entries(entries);
    const int32_t score_entries = parse_number(argv[2]);
    score_table_entries = static_cast<uint32_t>(score_entries);
    echo_score_entries(score_entries);
  }
  return -1;
}
