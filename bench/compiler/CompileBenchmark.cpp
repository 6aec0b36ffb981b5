// Compiles a generated V2 project of many modules through the library's exports and
// reports source lines per second.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "vx2comp.h"

namespace {

// One module of about `functions` * 20 lines: globals, constants, a user type, functions
// with loops and expressions, and two threads.
std::string generateModule(int index, int functions, bool withMain) {
  std::string m = "// generated module " + std::to_string(index) + "\n";
  m += "const LIMIT = " + std::to_string(100 + index) + ";\nconst TABLE[] = 1, 2, 3, 5, 8, 13;\n";
  m += "type Pair { int a; long b; float c; }\nPair pair;\nint data[16];\nlong acc;\nfloat "
       "ratio;\nstring text;\n\n";
  for (int f = 0; f < functions; ++f) {
    std::string n = std::to_string(f);
    m += "function work" + n + "(int x, long y, Pair p) returns long {\n";
    m += "  int i;\n  long total;\n  total = y + x * " + n + ";\n";
    m += "  for i = 0 ... < 16 {\n";
    m += "    data[i] = (x + i) % LIMIT + TABLE[i % 6];\n";
    m += "    total = total + data[i] * 3 - (i shl 2) xor 0x55;\n";
    m += "  }\n";
    m += "  while total > 100000 {\n    total = total / 2;\n  }\n";
    m += "  if x > LIMIT and y < 1000 {\n    p.a = x - 1;\n  } else {\n    p.b = total;\n  }\n";
    m += "  p.c = p.c * 0.5 + ratio;\n";
    m += "  return total + p.a;\n}\n\n";
  }
  std::string t = std::to_string(index);
  m += std::string("thread ") + (withMain ? "main" : "worker" + t) + " {\n";
  m += "  acc = work0(3, acc, pair);\n  ratio = ratio + 1.25;\n  text = \"run \" + text + 'x';\n";
  m += "  do {\n    yield;\n  } while acc < 10;\n  sleep 10;\n}\n";
  m += "thread helper" + t + " {\n  wait acc > 5;\n  yield;\n}\n";
  return m;
}

int countLines(const std::string& text) {
  int lines = 1;
  for (char c : text) lines += c == '\n';
  return lines;
}

void compileProject(benchmark::State& state, int modules, int functions, bool build) {
  std::vector<std::string> sources;
  int lines = 0;
  for (int i = 0; i < modules; ++i) {
    sources.push_back(generateModule(i, functions, i == 0));
    lines += countLines(sources.back());
  }
  Vx2ProjectHandle project = openProject("bench");
  std::vector<int> numbers;
  for (int i = 0; i < modules; ++i) {
    std::string name = "m";
    name += std::to_string(i);
    numbers.push_back(addModule(project, name.c_str(), sources[i].c_str(), VX2COMP_SOURCE_TEXT));
  }
  std::vector<char> messages(1 << 16);
  for (auto _ : state) {
    if (build) beginBuild(project);
    int errors = 0;
    for (int n : numbers) {
      setMessageBuffer(project, messages.data(), static_cast<uint32_t>(messages.size()));
      if (compileModule(project, n) != -1) ++errors;
    }
    if (build) {
      setMessageBuffer(project, messages.data(), static_cast<uint32_t>(messages.size()));
      if (finishBuild(project) != 1) ++errors;
    }
    if (errors) {
      state.SkipWithError(messages.data());
      break;
    }
  }
  state.counters["lines"] = lines;
  state.counters["lines_per_second"] =
      benchmark::Counter(static_cast<double>(lines), benchmark::Counter::kIsIterationInvariantRate);
  closeProject(project);
}

// About 100,000 lines in 50 modules, compiled as the editor's background check does.
void BM_CompileLargeProject(benchmark::State& state) { compileProject(state, 50, 100, false); }
// A smaller project (statement positions are limited to 65535 per build) built into an image.
void BM_BuildProject(benchmark::State& state) { compileProject(state, 20, 50, true); }

}  // namespace

BENCHMARK(BM_CompileLargeProject)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_BuildProject)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
