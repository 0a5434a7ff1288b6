// A scratch directory and a command-line tool run in it, for the end-to-end
// tests of the programs in tools/.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

class ToolRun : public testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tervalk-tool-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }

  std::string write_file(const std::string& name, const std::string& text, bool executable = false) {
    const std::string path = dir_ + "/" + name;
    std::ofstream(path) << text;
    if (executable) chmod(path.c_str(), 0755);
    return path;
  }

  // Runs `tool` with `args`; returns its stdout lines and sets status_. Its
  // standard error goes to stderr.txt in the directory.
  std::vector<std::string> run_tool(const char* tool, const std::string& args) {
    const std::string command = std::string(tool) + " " + args + " 2>" + dir_ + "/stderr.txt";
    std::FILE* pipe = popen(command.c_str(), "r");
    std::vector<std::string> lines;
    if (pipe == nullptr) return lines;
    char buffer[4096];
    while (std::fgets(buffer, sizeof(buffer), pipe) != nullptr) {
      std::string line = buffer;
      if (!line.empty() && line.back() == '\n') line.pop_back();
      lines.push_back(line);
    }
    const int status = pclose(pipe);
    status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return lines;
  }

  std::string read_file(const std::string& name) {
    std::ifstream in(dir_ + "/" + name, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  std::string dir_;
  int status_ = -1;
};
