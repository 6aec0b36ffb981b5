#pragma once

// argv as main() gets it, for tests that start the program's code.

#include <string>
#include <utility>
#include <vector>

namespace vexa::ide::test {

struct TProgramArgs {
  explicit TProgramArgs(std::vector<std::string> list) : strings(std::move(list)) {
    for (auto& s : strings) pointers.push_back(s.data());
    pointers.push_back(nullptr);
    count = int(strings.size());
  }
  std::vector<std::string> strings;
  std::vector<char*> pointers;
  int count;
};

}  // namespace vexa::ide::test
