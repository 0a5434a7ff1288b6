// The folders of the GaviotaTbPath option and the table files in them,
// looked at before the probing library opens them: the library itself
// crashes on an empty file and says nothing of a missing folder.
#pragma once

#include <cstdint>

constexpr int TABLE_FOLDERS_MAX = 16;
constexpr int TABLE_FOLDER_SIZE = 1024;
constexpr int TABLE_NAME_SIZE = 16;  // "kqrbkn" and its extension
// Every material of three to five men, each side's men in the order
// q r b n p and white with at least one: 230 names.
constexpr int TABLE_NAMES = 230;

struct TableFolders {
  char folder[TABLE_FOLDERS_MAX][TABLE_FOLDER_SIZE];
  int count;
};

// Splits `text` at ';' into folders, blanks around each taken off; false
// when there are more folders than TABLE_FOLDERS_MAX or one is too long.
bool split_table_folders(const char* text, TableFolders* out);

// The table file name of material `index` (0 .. TABLE_NAMES - 1), such as
// "krpkb", without its extension.
const char* table_name(int index);

// Whether `path` is a folder.
bool is_folder(const char* path);
// The size in bytes of the file `folder`/`name``extension`; -1 when there is
// no such file.
int64_t table_file_size(const char* folder, const char* name, const char* extension);
