// A scratch directory and a command-line tool run in it, for the end-to-end
// tests of the programs in tools/.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tools/child_process.h"
#include "tools/scratch_dir.h"

// A whole file as it lies on disk; empty when it cannot be read.
inline std::string file_bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

class ToolRun : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = make_scratch_dir("tervalk-tool-");
    ASSERT_FALSE(dir_.empty());
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }

  std::string write_file(const std::string& name, const std::string& text) {
    const std::string path = dir_ + "/" + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }

  // Runs `tool` in the directory with `args` split at blanks; returns its
  // stdout lines and sets status_. Its standard error goes to stderr.txt.
  std::vector<std::string> run_tool(const char* tool, const std::string& args) {
    std::vector<std::string> words;
    std::istringstream split(args);
    for (std::string word; split >> word;) words.push_back(word);
    return run_tool_words(tool, words);
  }

  // The same with the arguments given one by one (a FEN is one, blanks and all).
  std::vector<std::string> run_tool_words(const char* tool, const std::vector<std::string>& words) {
    std::vector<const char*> argv{tool};
    for (const std::string& word : words) argv.push_back(word.c_str());
    argv.push_back(nullptr);

    std::vector<std::string> lines;
    status_ = -1;
    ChildProcess child;
    if (!child_start(&child, argv.data(), dir_.c_str(), (dir_ + "/stderr.txt").c_str())) return lines;
    child_close_input(&child);
    std::string output;
    char chunk[4096];
    for (int n; (n = child_read(&child, chunk, sizeof(chunk), 120000)) > 0;) output.append(chunk, n);
    status_ = child_wait(&child, 10000);
    child_end(&child);
    std::istringstream text(without_carriage_returns(output));
    for (std::string line; std::getline(text, line);) lines.push_back(line);
    return lines;
  }

  std::string read_file(const std::string& name) { return file_bytes(dir_ + "/" + name); }
  // A text file the tools wrote, with line ends read as line feeds.
  std::string read_text(const std::string& name) { return without_carriage_returns(read_file(name)); }

  static std::string without_carriage_returns(std::string text) {
    std::erase(text, '\r');
    return text;
  }

  std::string dir_;
  int status_ = -1;
};
