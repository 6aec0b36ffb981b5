#include "CommandLineDriver.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "Project.h"

namespace vexa::v2comp {

std::string baseName(const std::string& path) {
  size_t start = path.find_last_of(":/\\");
  std::string name = start == std::string::npos ? path : path.substr(start + 1);
  size_t dot = name.find('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

int run(int argc, const char* const* argv, std::ostream& out) {
  out << "\nV2 compiler for Vexa II - version 1.0 (2000/11/14)" << std::endl;
  if (argc < 2) {
    out << "use: v2comp <projectfile>" << std::endl;
    return EXIT_USAGE;
  }
  const std::string projectFile = argv[1];
  std::error_code error;
  std::ifstream in;
  if (!std::filesystem::is_directory(projectFile, error)) in.open(projectFile, std::ios::binary);
  if (!in.is_open()) {
    out << "cannot open project file" << std::endl;
    return EXIT_NO_PROJECT_FILE;
  }
  const std::string base = baseName(projectFile);
  vexa::vx2::Project project(base);
  project.setErrorFileName(base + ".err");

  std::string line;
  while (std::getline(in, line)) {
    // Project files written on Windows end their lines in CR LF.
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    std::string name = baseName(line);
    if (!project.isValidModuleName(name)) {
      out << "invalid module name : " << name << std::endl;
      return EXIT_INVALID_MODULE_NAME;
    }
    std::string path = line;
    std::replace(path.begin(), path.end(), '\\', '/');
    // A name listed twice is dropped; messages show the path as written.
    int number = project.addModule(name, path, nullptr);
    if (number > 0 && path != line) project.module(number)->displayPath = line;
  }

  project.beginBuild();
  int errors = project.compileAll();
  if (errors < 0) {
    out << "cannot write " << base << ".err" << std::endl;
    return EXIT_CANNOT_WRITE;
  }
  if (errors > 0) {
    out << errors << " error(s) found, please refere to the *.err file for detail information"
        << std::endl;
    return EXIT_DONE;
  }
  project.finishBuild();
  if (!project.writeOutputFile(base, false)) {
    out << "cannot write " << base << ".vmc" << std::endl;
    return EXIT_CANNOT_WRITE;
  }
  return EXIT_DONE;
}

}  // namespace vexa::v2comp
