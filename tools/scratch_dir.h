// A fresh empty folder in the system's temporary folder, for tests that write
// files or run a program in a directory of its own, and for the CSV files of
// mate-suite's jobs. Empty when none could be made.
#pragma once

#include <filesystem>
#include <random>
#include <string>
#include <system_error>

inline std::string make_scratch_dir(const std::string& prefix) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::path base = fs::temp_directory_path(error);
  if (error) return "";
  std::random_device random;
  for (int attempt = 0; attempt < 100; attempt++) {
    const fs::path dir = base / (prefix + std::to_string(random()));
    if (fs::create_directory(dir, error)) return dir.string();
  }
  return "";
}
