#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "Project.h"

namespace vexa::vx2 {
namespace {

// Random token soup from V2's vocabulary: the compiler must report, recover and never crash
// or hang, and a build afterwards must stay sound.
std::string randomSource(std::mt19937& random, int tokens) {
  static const std::vector<std::string> words = {
      "thread",  "function", "inline", "returns",  "return", "const",  "type",  "byte",  "int",
      "long",    "float",    "string", "run",      "halt",   "resume", "reset", "sleep", "wait",
      "capture", "release",  "yield",  "quit",     "if",     "else",   "loop",  "for",   "while",
      "do",      "step",     "break",  "continue", "main",   "x",      "y",     "T",     "f",
      "M",       "N",        "{",      "}",        "(",      ")",      "[",     "]",     ";",
      ",",       ".",        "...",    "=",        "==",     "!=",     "<",     ">",     "+",
      "-",       "*",        "/",      "%",        "&",      "|",      "^",     "!",     "<<",
      ">>",      "0",        "1",      "255",      "70000",  "2.5",    "'a'",   "\"s\"", "\"open\n",
      "/* c */", "// c\n",   "\n",     "\n",       "#",      "main.x", "x[1]",  "T.a"};
  std::uniform_int_distribution<size_t> pick(0, words.size() - 1);
  std::string source;
  for (int i = 0; i < tokens; ++i) {
    source += words[pick(random)];
    source += ' ';
  }
  return source;
}

TEST(Robustness, RandomSourcesNeverCrashTheCompiler) {
  std::mt19937 random(20261208);
  for (int round = 0; round < 60; ++round) {
    Project project("fuzz");
    char buffer[4096];
    project.setMessageBuffer(buffer, sizeof buffer);
    std::vector<std::string> sources;
    // Half of the soup stands inside procedure bodies, where the statement parser sees it.
    sources.push_back(randomSource(random, 200));
    sources.push_back("int x; string s; int a[3];\nthread t" + std::to_string(round) + " {\n" +
                      randomSource(random, 200) + "\n}\n");
    sources.push_back("function f(int p, string q) returns int {\n" + randomSource(random, 200) +
                      "\n}\n");
    sources.push_back(randomSource(random, 200));
    sources.push_back("int x;\nthread main { x = x + 1; }\n");
    for (size_t m = 0; m < sources.size(); ++m)
      ASSERT_GT(project.addModule("M" + std::to_string(m), "?", sources[m].c_str()), 0);
    project.beginBuild();
    int errors = 0;
    for (size_t m = 1; m <= sources.size(); ++m)
      errors += project.compileModule(static_cast<int>(m));
    bool built = project.finishBuild();
    if (errors > 0) {
      EXPECT_FALSE(built);
    }
    // Recompiling in another order and removing modules must not disturb anything.
    for (size_t m = sources.size(); m >= 1; --m) project.compileModule(static_cast<int>(m));
    project.removeModule(2);
    project.beginBuild();
    project.finishBuild();
  }
}

}  // namespace
}  // namespace vexa::vx2
