// v2comp project files: the first part of the input is the .prj text, up to three further
// parts (split at NUL bytes) are the module files motor.v2, display.v2 and main.v2 beside it. The
// driver runs in the scratch directory, where it writes its .err and .vmc files.
#include <unistd.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "CommandLineDriver.h"
#include "FuzzSupport.h"

namespace {

// Module paths stay inside the scratch directory: no absolute paths, no way up.
bool staysInside(const std::string& project) {
  std::istringstream lines(project);
  std::string line;
  while (std::getline(lines, line)) {
    for (char& c : line)
      if (c == '\\') c = '/';
    if (line.starts_with('/') || line.find("..") != std::string::npos) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static const bool inScratch = ::chdir(vexa::fuzz::scratchDir().c_str()) == 0;
  if (!inScratch) std::abort();
  const std::vector<std::string> parts = vexa::fuzz::split(data, size, '\0', 4);
  if (!staysInside(parts[0])) return 0;
  const char* const modules[] = {"motor.v2", "display.v2", "main.v2"};
  for (const char* m : modules) std::filesystem::remove(m);
  std::filesystem::remove("fuzz.err");
  std::filesystem::remove("fuzz.vmc");
  vexa::fuzz::writeFile("fuzz.prj", parts[0]);
  for (std::size_t i = 1; i < parts.size(); ++i) vexa::fuzz::writeFile(modules[i - 1], parts[i]);

  const char* const argv[] = {"v2comp", "fuzz.prj", nullptr};
  std::ostringstream console;
  vexa::v2comp::run(2, argv, console);
  return 0;
}
