// The whole content of a file as bytes ("" when it cannot be read).
#pragma once

#include <cstdio>
#include <string>

inline std::string file_bytes(const char* path) {
  std::string bytes;
  if (std::FILE* f = std::fopen(path, "rb")) {
    for (int c; (c = std::fgetc(f)) != EOF;) bytes += static_cast<char>(c);
    std::fclose(f);
  }
  return bytes;
}
