// A stand-in UCI engine for the tool tests, so that what they count does not
// depend on a real engine's speed. It answers from engine.script in its
// working directory and appends every line it reads to engine.log there.
// A script line is a command pattern and its reply lines, separated by tabs;
// a pattern ending in '*' matches by prefix, any other the whole line; the
// reply "exit" ends the program.
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

int main() {
  std::vector<std::vector<std::string>> rules;
  std::ifstream script("engine.script");
  for (std::string line; std::getline(script, line);) {
    std::vector<std::string> fields;
    std::istringstream split(line);
    for (std::string field; std::getline(split, field, '\t');) fields.push_back(field);
    if (!fields.empty()) rules.push_back(fields);
  }
  std::ofstream log("engine.log", std::ios::binary | std::ios::app);
  for (std::string line; std::getline(std::cin, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    log << line << '\n' << std::flush;
    for (const auto& rule : rules) {
      const std::string& pattern = rule[0];
      const bool prefix = !pattern.empty() && pattern.back() == '*';
      if (prefix ? line.rfind(pattern.substr(0, pattern.size() - 1), 0) != 0 : line != pattern) continue;
      for (std::size_t i = 1; i < rule.size(); i++) {
        if (rule[i] == "exit") return 0;
        std::cout << rule[i] << '\n';
      }
      std::cout << std::flush;
      break;
    }
  }
  return 0;
}
