// The console driver: project file in, .err and .vmc out.
#pragma once

#include <ostream>
#include <string>

namespace vexa::v2comp {

enum ExitCode : int {
  EXIT_DONE = 0,
  EXIT_USAGE = -1,
  EXIT_NO_PROJECT_FILE = -2,
  EXIT_INVALID_MODULE_NAME = -3,
  EXIT_CANNOT_WRITE = -4,
};

// The text after the last ":", "/" or "\" up to the first ".".
std::string baseName(const std::string& path);

// Runs the compiler on a project file; the console lines go to out.
int run(int argc, const char* const* argv, std::ostream& out);

}  // namespace vexa::v2comp
