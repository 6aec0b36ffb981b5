// The C export layer of libvx2comp.so: each export checks its handle and pointers, runs one
// project operation inside a catch-all and turns the outcome into its documented result.
#include <memory>
#include <string>

#include "Lexer.h"
#include "Project.h"
#include "vexa/platform/HandleTable.h"
#include "vx2comp.h"

namespace {

using vexa::vx2::Project;

vexa::HandleTable<Project>& projects() {
  static vexa::HandleTable<Project> table;
  return table;
}

// Runs body on the live project of the handle inside a catch-all; failure for an unknown
// handle or an exception.
template <typename Result, typename Body>
Result guarded(Vx2ProjectHandle handle, Result failure, Body body) {
  try {
    Project* project = projects().find(handle);
    if (!project) return failure;
    return body(*project);
  } catch (...) {
    return failure;
  }
}

// The same for the calls that need no project.
template <typename Result, typename Body>
Result guarded(Result failure, Body body) {
  try {
    return body();
  } catch (...) {
    return failure;
  }
}

// An identifier query whose text answer is cut into the caller's buffer.
template <typename Query>
int32_t textQuery(Vx2ProjectHandle handle, const char* text, char* buffer, uint32_t size,
                  Query query) {
  if (!text || !buffer) return 0;
  return guarded<int32_t>(handle, 0, [&](Project& project) {
    std::string answer;
    if (!query(project, answer)) return 0;
    vexa::vx2::copyTextCut(answer, buffer, size);
    return 1;
  });
}

// The header's numbers are the project's own.
static_assert(VX2COMP_DUPLICATE_NAME == Project::DUPLICATE_NAME &&
              VX2COMP_INVALID_NAME == Project::INVALID_NAME);

}  // namespace

extern "C" {

Vx2ProjectHandle openProject(const char* name) {
  if (!name) return 0;
  return guarded<Vx2ProjectHandle>(0,
                                   [&] { return projects().add(std::make_unique<Project>(name)); });
}

int32_t closeProject(Vx2ProjectHandle handle) {
  if (handle == 0) return 1;
  return guarded<int32_t>(0, [&] { return projects().remove(handle) ? 1 : 0; });
}

int32_t renameProject(Vx2ProjectHandle handle, const char* name) {
  if (!name) return 0;
  return guarded<int32_t>(handle, 0, [&](Project& project) {
    project.rename(name);
    return 1;
  });
}

int32_t isValidModuleName(const char* name) {
  if (!name) return 0;
  return guarded<int32_t>(0, [&] {
    return vexa::vx2::isValidIdentifierText(vexa::vx2::sharedKeywordTable(), name) ? 1 : 0;
  });
}

int32_t addModule(Vx2ProjectHandle handle, const char* name, const char* source, int32_t mode) {
  if (!name || (mode == VX2COMP_SOURCE_FILE && !source)) return 0;
  return guarded<int32_t>(handle, 0, [&](Project& project) {
    if (mode == VX2COMP_SOURCE_FILE) return project.addModule(name, source, nullptr);
    return project.addModule(name, "?", source);
  });
}

int32_t replaceModuleSource(Vx2ProjectHandle handle, int32_t module, const char* source,
                            int32_t mode) {
  if (mode == VX2COMP_SOURCE_FILE && !source) return 0;
  return guarded<int32_t>(handle, 0, [&](Project& project) {
    return project.replaceModuleSource(module, source, mode == VX2COMP_SOURCE_FILE) ? 1 : 0;
  });
}

int32_t removeAll(Vx2ProjectHandle handle) {
  return guarded<int32_t>(handle, 0, [&](Project& project) {
    project.removeAll();
    return 1;
  });
}

int32_t removeModule(Vx2ProjectHandle handle, int32_t module) {
  return guarded<int32_t>(handle, 0,
                          [&](Project& project) { return project.removeModule(module) ? 1 : 0; });
}

int32_t setMessageBuffer(Vx2ProjectHandle handle, char* buffer, uint32_t size) {
  if (!buffer) return 0;
  return guarded<int32_t>(handle, 0, [&](Project& project) {
    project.setMessageBuffer(buffer, size);
    return 1;
  });
}

int32_t compileModule(Vx2ProjectHandle handle, int32_t module) {
  return guarded<int32_t>(handle, 0, [&](Project& project) {
    if (!project.module(module)) return -1;
    const int count = project.compileModule(module);
    if (count < 0) return 0;
    return count == 0 ? -1 : count;
  });
}

int32_t beginBuild(Vx2ProjectHandle handle) {
  return guarded<int32_t>(handle, 0, [&](Project& project) {
    project.beginBuild();
    return 1;
  });
}

int32_t finishBuild(Vx2ProjectHandle handle) {
  return guarded<int32_t>(handle, 0,
                          [&](Project& project) { return project.finishBuild() ? 1 : 0; });
}

int32_t getModuleLineInfos(Vx2ProjectHandle handle, int32_t module, uint8_t* buffer,
                           uint32_t length) {
  if (!buffer && length > 0) return 0;
  return guarded<int32_t>(handle, 0, [&](Project& project) {
    vexa::vx2::Module* m = project.module(module);
    if (!m) return 0;
    const size_t n = m->lineInfos.size() < length ? m->lineInfos.size() : length;
    for (size_t i = 0; i < n; ++i) buffer[i] = m->lineInfos[i];
    return 1;
  });
}

int32_t getIdentDefPos(Vx2ProjectHandle handle, const char* text, int32_t* module, int32_t* line) {
  if (!text || !module || !line) return 0;
  return guarded<int32_t>(handle, 0, [&](Project& project) {
    int m = *module, l = *line;
    if (!project.identDefPos(text, m, l)) return 0;
    *module = m;
    *line = l;
    return 1;
  });
}

int32_t getIdentCompletions(Vx2ProjectHandle handle, const char* text, int32_t module, int32_t line,
                            char* buffer, uint32_t size) {
  return textQuery(handle, text, buffer, size, [&](Project& project, std::string& out) {
    return project.identCompletions(text, module, line, out);
  });
}

int32_t getIdentFullName(Vx2ProjectHandle handle, const char* text, int32_t module, int32_t line,
                         char* buffer, uint32_t size) {
  return textQuery(handle, text, buffer, size, [&](Project& project, std::string& out) {
    out = project.identFullName(text, module, line);
    return true;
  });
}

int32_t writeOutputFile(Vx2ProjectHandle handle, const char* baseName) {
  if (!baseName) return 0;
  return guarded<int32_t>(
      handle, 0, [&](Project& project) { return project.writeOutputFile(baseName, true) ? 1 : 0; });
}

uint32_t getRequiredVMCBufferSize(Vx2ProjectHandle handle) {
  return guarded<uint32_t>(
      handle, 0, [&](Project& project) { return project.program().requiredVMCBufferSize(); });
}

int32_t fillVMCBuffer(Vx2ProjectHandle handle, uint8_t* buffer) {
  if (!buffer) return 0;
  return guarded<int32_t>(handle, 0, [&](Project& project) {
    project.program().fillVMCBuffer(buffer);
    return 1;
  });
}

}  // extern "C"
