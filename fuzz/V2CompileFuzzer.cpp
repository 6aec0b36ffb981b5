// V2 source: one to three modules split at NUL bytes, compiled and built through the exported
// functions, then the image, line infos and identifier services.
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "vx2comp.h"

namespace {

// The names of the example project, so its modules can refer to each other.
const char* const kNames[] = {"motor", "display", "main"};

void queryIdentifiers(Vx2ProjectHandle project, int module, const std::vector<std::string>& names,
                      int lines) {
  std::vector<char> buffer(256);
  for (int line = 0; line <= lines + 1; line += 1 + lines / 8) {
    getIdentCompletions(project, "", module, line, buffer.data(),
                        static_cast<uint32_t>(buffer.size()));
    for (const std::string& name : names) {
      int32_t where = module;
      int32_t at = line;
      getIdentDefPos(project, name.c_str(), &where, &at);
      getIdentCompletions(project, name.c_str(), module, line, buffer.data(),
                          static_cast<uint32_t>(buffer.size()));
      getIdentFullName(project, name.c_str(), module, line, buffer.data(), 24);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::vector<std::string> sources = vexa::fuzz::split(data, size, '\0', 3);
  Vx2ProjectHandle project = openProject("fuzz");
  if (!project) return 0;
  // A small message buffer also tries the cut of long message texts.
  std::vector<char> messages(size % 2 ? 300 : 4096);
  setMessageBuffer(project, messages.data(), static_cast<uint32_t>(messages.size()));

  std::vector<int32_t> modules;
  const std::size_t first = 3 - sources.size();
  for (std::size_t i = 0; i < sources.size(); ++i)
    modules.push_back(
        addModule(project, kNames[first + i], sources[i].c_str(), VX2COMP_SOURCE_TEXT));

  beginBuild(project);
  int errors = 0;
  for (int32_t m : modules) errors += compileModule(project, m) > 0 ? 1 : 0;
  if (errors == 0 && finishBuild(project)) {
    std::vector<uint8_t> image(getRequiredVMCBufferSize(project));
    if (!image.empty()) fillVMCBuffer(project, image.data());
  }

  std::vector<std::string> names =
      vexa::fuzz::words(std::string(reinterpret_cast<const char*>(data), size), 12);
  names.push_back("main.");
  names.push_back("motor.regulator");
  for (std::size_t i = 0; i < modules.size(); ++i) {
    std::vector<uint8_t> infos(sources[i].size() / 8 + 2);
    getModuleLineInfos(project, modules[i], infos.data(), static_cast<uint32_t>(infos.size()));
    int lines = 1;
    for (char c : sources[i]) lines += c == '\n';
    queryIdentifiers(project, modules[i], names, lines);
  }
  // A second compile of the first module replaces its declarations under the queries.
  if (!modules.empty()) {
    compileModule(project, modules.front());
    queryIdentifiers(project, modules.back(), names, 4);
  }
  closeProject(project);
  return 0;
}
