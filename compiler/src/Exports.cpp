// The C export layer of libvx2comp.so: each export checks its handle and pointers, runs one
// project operation inside a catch-all and turns the outcome into its documented result.
#include <mutex>
#include <string>
#include <unordered_set>

#include "Lexer.h"
#include "Project.h"
#include "vx2comp.h"

namespace {

using vx2::Project;

std::mutex gLiveMutex;
std::unordered_set<Project*>& liveProjects() {
  static std::unordered_set<Project*> projects;
  return projects;
}

Project* projectOf(Vx2ProjectHandle handle) {
  auto* project = reinterpret_cast<Project*>(handle);
  std::lock_guard<std::mutex> lock(gLiveMutex);
  return liveProjects().count(project) ? project : nullptr;
}

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
int32_t textQuery(Vx2ProjectHandle handle, const char* text, char* buffer, uint32_t size, Query query) {
  Project* project = projectOf(handle);
  if (!project || !text || !buffer) return 0;
  return guarded<int32_t>(0, [&] {
    std::string answer;
    if (!query(*project, answer)) return 0;
    vx2::copyTextCut(answer, buffer, size);
    return 1;
  });
}

}  // namespace

extern "C" {

Vx2ProjectHandle openProject(const char* name) {
  if (!name) return 0;
  return guarded<Vx2ProjectHandle>(0, [&] {
    auto* project = new Project(name);
    std::lock_guard<std::mutex> lock(gLiveMutex);
    liveProjects().insert(project);
    return reinterpret_cast<Vx2ProjectHandle>(project);
  });
}

int32_t closeProject(Vx2ProjectHandle handle) {
  if (handle == 0) return 1;
  return guarded<int32_t>(0, [&] {
    Project* project = projectOf(handle);
    if (!project) return 0;
    {
      std::lock_guard<std::mutex> lock(gLiveMutex);
      liveProjects().erase(project);
    }
    delete project;
    return 1;
  });
}

int32_t renameProject(Vx2ProjectHandle handle, const char* name) {
  Project* project = projectOf(handle);
  if (!project || !name) return 0;
  return guarded<int32_t>(0, [&] {
    project->rename(name);
    return 1;
  });
}

int32_t isValidModuleName(const char* name) {
  if (!name) return 0;
  return guarded<int32_t>(0, [&] { return vx2::isValidIdentifierText(vx2::sharedKeywordTable(), name) ? 1 : 0; });
}

int32_t addModule(Vx2ProjectHandle handle, const char* name, const char* source, int32_t mode) {
  Project* project = projectOf(handle);
  if (!project || !name) return 0;
  return guarded<int32_t>(0, [&] {
    if (mode == VX2COMP_SOURCE_FILE) {
      if (!source) return 0;
      return project->addModule(name, source, nullptr);
    }
    return project->addModule(name, "?", source);
  });
}

int32_t replaceModuleSource(Vx2ProjectHandle handle, int32_t module, const char* source, int32_t mode) {
  Project* project = projectOf(handle);
  if (!project) return 0;
  if (mode == VX2COMP_SOURCE_FILE && !source) return 0;
  return guarded<int32_t>(0, [&] { return project->replaceModuleSource(module, source, mode == VX2COMP_SOURCE_FILE) ? 1 : 0; });
}

int32_t removeAll(Vx2ProjectHandle handle) {
  Project* project = projectOf(handle);
  if (!project) return 0;
  return guarded<int32_t>(0, [&] {
    project->removeAll();
    return 1;
  });
}

int32_t removeModule(Vx2ProjectHandle handle, int32_t module) {
  Project* project = projectOf(handle);
  if (!project) return 0;
  return guarded<int32_t>(0, [&] { return project->removeModule(module) ? 1 : 0; });
}

int32_t setMessageBuffer(Vx2ProjectHandle handle, char* buffer, uint32_t size) {
  Project* project = projectOf(handle);
  if (!project || !buffer) return 0;
  return guarded<int32_t>(0, [&] {
    project->setMessageBuffer(buffer, size);
    return 1;
  });
}

int32_t compileModule(Vx2ProjectHandle handle, int32_t module) {
  Project* project = projectOf(handle);
  if (!project) return 0;
  return guarded<int32_t>(0, [&] {
    if (!project->module(module)) return -1;
    int count = project->compileModule(module);
    if (count < 0) return 0;
    return count == 0 ? -1 : count;
  });
}

int32_t beginBuild(Vx2ProjectHandle handle) {
  Project* project = projectOf(handle);
  if (!project) return 0;
  return guarded<int32_t>(0, [&] {
    project->beginBuild();
    return 1;
  });
}

int32_t finishBuild(Vx2ProjectHandle handle) {
  Project* project = projectOf(handle);
  if (!project) return 0;
  return guarded<int32_t>(0, [&] { return project->finishBuild() ? 1 : 0; });
}

int32_t getModuleLineInfos(Vx2ProjectHandle handle, int32_t module, uint8_t* buffer, uint32_t length) {
  Project* project = projectOf(handle);
  if (!project || (!buffer && length > 0)) return 0;
  return guarded<int32_t>(0, [&] {
    vx2::Module* m = project->module(module);
    if (!m) return 0;
    size_t n = m->lineInfos.size() < length ? m->lineInfos.size() : length;
    for (size_t i = 0; i < n; ++i) buffer[i] = m->lineInfos[i];
    return 1;
  });
}

int32_t getIdentDefPos(Vx2ProjectHandle handle, const char* text, int32_t* module, int32_t* line) {
  Project* project = projectOf(handle);
  if (!project || !text || !module || !line) return 0;
  return guarded<int32_t>(0, [&] {
    int m = *module, l = *line;
    if (!project->identDefPos(text, m, l)) return 0;
    *module = m;
    *line = l;
    return 1;
  });
}

int32_t getIdentCompletions(Vx2ProjectHandle handle, const char* text, int32_t module, int32_t line, char* buffer,
                            uint32_t size) {
  return textQuery(handle, text, buffer, size, [&](Project& project, std::string& out) {
    return project.identCompletions(text, module, line, out);
  });
}

int32_t getIdentFullName(Vx2ProjectHandle handle, const char* text, int32_t module, int32_t line, char* buffer,
                         uint32_t size) {
  return textQuery(handle, text, buffer, size, [&](Project& project, std::string& out) {
    out = project.identFullName(text, module, line);
    return true;
  });
}

int32_t writeOutputFile(Vx2ProjectHandle handle, const char* baseName) {
  Project* project = projectOf(handle);
  if (!project || !baseName) return 0;
  return guarded<int32_t>(0, [&] { return project->writeOutputFile(baseName, true) ? 1 : 0; });
}

uint32_t getRequiredVMCBufferSize(Vx2ProjectHandle handle) {
  Project* project = projectOf(handle);
  if (!project) return 0;
  return guarded<uint32_t>(0, [&] { return project->program().requiredVMCBufferSize(); });
}

int32_t fillVMCBuffer(Vx2ProjectHandle handle, uint8_t* buffer) {
  Project* project = projectOf(handle);
  if (!project || !buffer) return 0;
  return guarded<int32_t>(0, [&] {
    project->program().fillVMCBuffer(buffer);
    return 1;
  });
}

}  // extern "C"
