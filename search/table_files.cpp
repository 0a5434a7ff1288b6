// The folders of the GaviotaTbPath option and the names of table files.
#include "search/table_files.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace {

constexpr char MEN[] = "qrbnp";
constexpr int KINDS = 5;
constexpr int SIDES = 56;  // multisets of 0 .. 3 men of five kinds

char sides[SIDES][4];
int sides_made;
char names[TABLE_NAMES][TABLE_NAME_SIZE];
int names_made;

// Every side of up to `left` more men after `text`, letters no earlier in
// MEN than `from`.
void add_sides(char* text, int length, int from, int left) {
  text[length] = '\0';
  std::memcpy(sides[sides_made++], text, 4);
  for (int k = from; k < KINDS && left > 0; k++) {
    text[length] = MEN[k];
    add_sides(text, length + 1, k, left - 1);
  }
}

void make_names() {
  if (names_made > 0) return;
  char text[4];
  add_sides(text, 0, 0, 3);
  for (int w = 0; w < SIDES; w++)
    for (int b = 0; b < SIDES; b++) {
      const std::size_t white_men = std::strlen(sides[w]), black_men = std::strlen(sides[b]);
      if (white_men == 0 || white_men + black_men > 3 || names_made == TABLE_NAMES) continue;
      std::snprintf(names[names_made++], TABLE_NAME_SIZE, "k%sk%s", sides[w], sides[b]);
    }
}

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

bool split_table_folders(const char* text, TableFolders* out) {
  out->count = 0;
  const char* at = text;
  while (*at != '\0') {
    const char* end = std::strchr(at, ';');
    if (end == nullptr) end = at + std::strlen(at);
    const char* first = at;
    const char* last = end;
    while (first < last && is_blank(*first)) first++;
    while (last > first && is_blank(last[-1])) last--;
    if (last > first) {
      const std::size_t length = static_cast<std::size_t>(last - first);
      if (out->count == TABLE_FOLDERS_MAX || length >= TABLE_FOLDER_SIZE) return false;
      std::memcpy(out->folder[out->count], first, length);
      out->folder[out->count][length] = '\0';
      out->count++;
    }
    at = *end == ';' ? end + 1 : end;
  }
  return true;
}

const char* table_name(int index) {
  make_names();
  return index >= 0 && index < names_made ? names[index] : "";
}

bool is_folder(const char* path) {
  std::error_code error;
  return std::filesystem::is_directory(path, error);
}

int64_t table_file_size(const char* folder, const char* name, const char* extension) {
  char path[TABLE_FOLDER_SIZE + 2 * TABLE_NAME_SIZE];
  std::snprintf(path, sizeof(path), "%s/%s%s", folder, name, extension);
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return -1;
  const auto size = std::filesystem::file_size(path, error);
  return error ? -1 : static_cast<int64_t>(size);
}
