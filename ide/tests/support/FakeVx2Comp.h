#pragma once

// A stand-in compiler library for the worker and project tests: a function table
// whose entries record what the worker asks, answer from the fields below, fail
// one export on demand and note whether two calls ever overlapped. One fake at a
// time: it is the current one from its construction to its destruction. Called
// on the worker thread (and by the identifier services on the main thread); the
// test reads the records under the lock.

#include "model/libraries/Vx2CompLibrary.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace vexa::ide::test {

struct TFakeVx2Comp {
  TFakeVx2Comp() { Current() = this; }
  ~TFakeVx2Comp() { Current() = nullptr; }
  TFakeVx2Comp(const TFakeVx2Comp&) = delete;
  TFakeVx2Comp& operator=(const TFakeVx2Comp&) = delete;

  // Answers.
  std::string failing;               // the export that returns 0 (set before the worker starts)
  std::int32_t addModuleResult = 0;  // non-zero: addModule's answer
  bool failCompile = false;          // the next compileModule fails
  int defModule = 0;                 // getIdentDefPos's answer; 0: not found
  int defLine = 0;
  std::string fullName;  // getIdentFullName's answer; empty: not found
  std::string completions = "speed (variable)\r\nclamp (function)";

  // Records.
  std::mutex mutex;
  std::map<int, std::string> names;  // module number -> name
  std::vector<std::string> added;
  std::vector<std::string> compiled;
  std::map<std::string, std::string> sources;  // the last replaced source of each module
  std::vector<std::string> projectNames;
  int removeAlls = 0;
  int beginBuilds = 0;
  int written = 0;
  int imageRequests = 0;
  int nextModule = 1;
  // Each open project has its own handle and message buffer: two projects' workers
  // may build at once.
  Vx2ProjectHandle nextHandle = 1;
  struct TMessageBuffer {
    char* text = nullptr;
    std::uint32_t size = 0;
  };
  std::map<Vx2ProjectHandle, TMessageBuffer> messages;
  std::chrono::steady_clock::time_point firstCompile{};
  std::atomic<int> identCalls{0};
  std::atomic<bool> overlapped{false};

  std::vector<std::string> Compiled() {
    std::lock_guard lock(mutex);
    return compiled;
  }
  int Count(int TFakeVx2Comp::*Field) {
    std::lock_guard lock(mutex);
    return this->*Field;
  }

  static TFakeVx2Comp*& Current() {
    static TFakeVx2Comp* current = nullptr;
    return current;
  }

  // The table whose entries call the current fake.
  static TVx2CompFunctions Functions();

 private:
  // Held by every call: notes an overlap with another call, and stays a moment
  // so that one would show.
  class TCall {
   public:
    TCall() : fake_(*Current()) {
      if (fake_.inside_.fetch_add(1) != 0) fake_.overlapped = true;
      std::this_thread::sleep_for(std::chrono::microseconds(50));
    }
    ~TCall() { fake_.inside_.fetch_sub(1); }
    TFakeVx2Comp& operator*() { return fake_; }
    TFakeVx2Comp* operator->() { return &fake_; }

   private:
    TFakeVx2Comp& fake_;
  };

  std::int32_t Result(const char* Function, std::int32_t Ok = 1) const {
    return failing == Function ? 0 : Ok;
  }

  std::atomic<int> inside_{0};
};

inline TVx2CompFunctions TFakeVx2Comp::Functions() {
  TVx2CompFunctions f;
  f.openProject = [](const char* Name) -> Vx2ProjectHandle {
    TCall fake;
    std::lock_guard lock(fake->mutex);
    fake->projectNames.push_back(Name);
    return fake->nextHandle++;
  };
  f.closeProject = [](Vx2ProjectHandle Project) {
    TCall fake;
    std::lock_guard lock(fake->mutex);
    fake->messages.erase(Project);
    return fake->Result("closeProject");
  };
  f.isValidModuleName = [](const char*) {
    TCall fake;
    return std::int32_t{1};
  };
  f.addModule = [](Vx2ProjectHandle, const char* Name, const char*, std::int32_t) {
    TCall fake;
    std::lock_guard lock(fake->mutex);
    if (fake->addModuleResult) return fake->addModuleResult;
    fake->added.push_back(Name);
    fake->names[fake->nextModule] = Name;
    return std::int32_t(fake->nextModule++);
  };
  f.replaceModuleSource = [](Vx2ProjectHandle, std::int32_t Module, const char* Source,
                             std::int32_t) {
    TCall fake;
    std::lock_guard lock(fake->mutex);
    fake->sources[fake->names[Module]] = Source;
    return fake->Result("replaceModuleSource");
  };
  f.removeAll = [](Vx2ProjectHandle) {
    TCall fake;
    std::lock_guard lock(fake->mutex);
    ++fake->removeAlls;
    fake->nextModule = 1;
    fake->names.clear();
    return fake->Result("removeAll");
  };
  f.removeModule = [](Vx2ProjectHandle, std::int32_t) {
    TCall fake;
    return fake->Result("removeModule");
  };
  f.setMessageBuffer = [](Vx2ProjectHandle Project, char* Buffer, std::uint32_t Size) {
    TCall fake;
    std::lock_guard lock(fake->mutex);
    fake->messages[Project] = {Buffer, Size};
    return fake->Result("setMessageBuffer");
  };
  f.compileModule = [](Vx2ProjectHandle Project, std::int32_t Module) {
    TCall fake;
    std::lock_guard lock(fake->mutex);
    if (std::exchange(fake->failCompile, false)) return std::int32_t{0};
    if (fake->compiled.empty()) fake->firstCompile = std::chrono::steady_clock::now();
    const std::string name = fake->names[Module];
    fake->compiled.push_back(name);
    const TMessageBuffer buffer = fake->messages[Project];
    if (buffer.size) std::snprintf(buffer.text, buffer.size, "%s : OK", name.c_str());
    return fake->Result("compileModule", -1);  // -1: no message counted
  };
  f.beginBuild = [](Vx2ProjectHandle) {
    TCall fake;
    std::lock_guard lock(fake->mutex);
    ++fake->beginBuilds;
    return fake->Result("beginBuild");
  };
  f.finishBuild = [](Vx2ProjectHandle Project) {
    TCall fake;
    std::lock_guard lock(fake->mutex);
    const TMessageBuffer buffer = fake->messages[Project];
    if (buffer.size) buffer.text[0] = 0;
    return fake->Result("finishBuild");
  };
  f.getModuleLineInfos = [](Vx2ProjectHandle, std::int32_t, std::uint8_t* Buffer,
                            std::uint32_t Length) {
    TCall fake;
    for (std::uint32_t i = 0; i < Length; ++i) Buffer[i] = 1;
    return fake->Result("getModuleLineInfos");
  };
  f.writeOutputFile = [](Vx2ProjectHandle, const char*) {
    TCall fake;
    std::lock_guard lock(fake->mutex);
    ++fake->written;
    return fake->Result("writeOutputFile");
  };
  f.getIdentCompletions = [](Vx2ProjectHandle, const char*, std::int32_t, std::int32_t,
                             char* Buffer, std::uint32_t Size) {
    TCall fake;
    fake->identCalls.fetch_add(1);
    std::lock_guard lock(fake->mutex);
    std::snprintf(Buffer, Size, "%s", fake->completions.c_str());
    return std::int32_t{1};
  };
  f.getIdentDefPos = [](Vx2ProjectHandle, const char*, std::int32_t* Module, std::int32_t* Line) {
    TCall fake;
    fake->identCalls.fetch_add(1);
    std::lock_guard lock(fake->mutex);
    if (!fake->defModule) return std::int32_t{0};
    *Module = fake->defModule;
    *Line = fake->defLine;
    return std::int32_t{1};
  };
  f.getIdentFullName = [](Vx2ProjectHandle, const char*, std::int32_t, std::int32_t, char* Buffer,
                          std::uint32_t Size) {
    TCall fake;
    fake->identCalls.fetch_add(1);
    std::lock_guard lock(fake->mutex);
    if (fake->fullName.empty()) return std::int32_t{0};
    std::snprintf(Buffer, Size, "%s", fake->fullName.c_str());
    return std::int32_t{1};
  };
  f.getRequiredVMCBufferSize = [](Vx2ProjectHandle) {
    TCall fake;
    std::lock_guard lock(fake->mutex);
    ++fake->imageRequests;
    return std::uint32_t{0};
  };
  f.fillVMCBuffer = [](Vx2ProjectHandle, std::uint8_t*) {
    TCall fake;
    std::lock_guard lock(fake->mutex);
    ++fake->imageRequests;
    return std::int32_t{0};
  };
  return f;
}

}  // namespace vexa::ide::test
