// Handles that are not live: closed ones, also after a new project took their place, and
// made-up ones. Every export that takes a project refuses them and touches nothing.
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <vector>

#include "CompilerFixture.h"

namespace {

using Handles = CompilerFixture;

constexpr uint8_t kUntouched = 0x5A;

struct Call {
  const char* name;
  std::function<int64_t(Vx2ProjectHandle)> run;
};

TEST_F(Handles, EveryExportRefusesAClosedOrMadeUpHandle) {
  const Vx2ProjectHandle closed = openProject("closed");
  ASSERT_NE(closed, 0u);
  ASSERT_EQ(closeProject(closed), 1);
  const Vx2ProjectHandle live = openProject("live");  // takes the closed project's place
  ASSERT_NE(live, 0u);
  EXPECT_NE(live, closed);

  const std::string source = "thread main { yield; }\n";
  ASSERT_EQ(setMessageBuffer(live, buffer, sizeof buffer), 1);
  ASSERT_EQ(addModule(live, "m", source.c_str(), VX2COMP_SOURCE_TEXT), 1);
  ASSERT_EQ(beginBuild(live), 1);
  ASSERT_EQ(compileModule(live, 1), -1);
  ASSERT_EQ(finishBuild(live), 1) << buffer;
  const uint32_t imageSize = getRequiredVMCBufferSize(live);
  ASSERT_GT(imageSize, 0u);

  std::vector<uint8_t> scratch(0x10000, kUntouched);
  char otherBuffer[64];
  std::memset(otherBuffer, kUntouched, sizeof otherBuffer);
  int32_t module = 1, line = 1;
  const std::string base = tempPath("out");
  char* text = reinterpret_cast<char*>(scratch.data());

  // In an order that succeeds on the live project; every failure result is 0.
  const std::vector<Call> calls = {
      {"renameProject", [](Vx2ProjectHandle h) { return renameProject(h, "renamed"); }},
      {"setMessageBuffer",
       [&](Vx2ProjectHandle h) { return setMessageBuffer(h, otherBuffer, sizeof otherBuffer); }},
      {"addModule", [](Vx2ProjectHandle h) { return addModule(h, "n", "", VX2COMP_SOURCE_TEXT); }},
      {"replaceModuleSource",
       [&](Vx2ProjectHandle h) {
         return replaceModuleSource(h, 1, source.c_str(), VX2COMP_SOURCE_TEXT);
       }},
      {"beginBuild", [](Vx2ProjectHandle h) { return beginBuild(h); }},
      {"compileModule", [](Vx2ProjectHandle h) { return compileModule(h, 1); }},
      {"finishBuild", [](Vx2ProjectHandle h) { return finishBuild(h); }},
      {"getModuleLineInfos",
       [&](Vx2ProjectHandle h) { return getModuleLineInfos(h, 1, scratch.data(), 4); }},
      {"getIdentDefPos",
       [&](Vx2ProjectHandle h) { return getIdentDefPos(h, "m", &module, &line); }},
      {"getIdentCompletions",
       [&](Vx2ProjectHandle h) { return getIdentCompletions(h, "", 1, 1, text, 64); }},
      {"getIdentFullName",
       [&](Vx2ProjectHandle h) { return getIdentFullName(h, "m", 1, 1, text, 64); }},
      {"writeOutputFile", [&](Vx2ProjectHandle h) { return writeOutputFile(h, base.c_str()); }},
      {"getRequiredVMCBufferSize",
       [](Vx2ProjectHandle h) { return int64_t{getRequiredVMCBufferSize(h)}; }},
      {"fillVMCBuffer", [&](Vx2ProjectHandle h) { return fillVMCBuffer(h, scratch.data()); }},
      {"removeModule", [](Vx2ProjectHandle h) { return removeModule(h, 2); }},
      {"removeAll", [](Vx2ProjectHandle h) { return removeAll(h); }},
      {"closeProject", [](Vx2ProjectHandle h) { return closeProject(h); }},
  };

  const Vx2ProjectHandle notLive[] = {closed, 12345, 0xDEADBEEF, ~Vx2ProjectHandle{0}};
  for (Vx2ProjectHandle bad : notLive) {
    for (const Call& c : calls) EXPECT_EQ(c.run(bad), 0) << c.name << " with " << bad;
    EXPECT_EQ(std::count(scratch.begin(), scratch.end(), kUntouched),
              static_cast<long>(scratch.size()));
    EXPECT_EQ(module, 1);
    EXPECT_EQ(line, 1);
  }

  // The live project kept its modules, image and message buffer.
  EXPECT_FALSE(std::filesystem::exists(base + ".vmc"));
  EXPECT_EQ(getRequiredVMCBufferSize(live), imageSize);
  EXPECT_EQ(std::count(otherBuffer, otherBuffer + sizeof otherBuffer, kUntouched), 64);
  EXPECT_EQ(addModule(live, "m", "", VX2COMP_SOURCE_TEXT), VX2COMP_DUPLICATE_NAME);
  EXPECT_EQ(compileModule(live, 1), -1);
  EXPECT_STREQ(buffer, "m : OK\n");

  // The same calls succeed on the live handle, which the last one closes.
  for (const Call& c : calls) EXPECT_NE(c.run(live), 0) << c.name;
  EXPECT_TRUE(std::filesystem::exists(base + ".vmc"));
  for (const Call& c : calls) EXPECT_EQ(c.run(live), 0) << c.name << " after close";
}

TEST_F(Handles, ReopenedProjectsGetNewHandles) {
  std::vector<Vx2ProjectHandle> seen{project};
  for (int i = 0; i < 50; ++i) {
    const Vx2ProjectHandle h = openProject("again");
    ASSERT_NE(h, 0u);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), h), 0)
        << "handle repeated after " << i << " reopenings";
    seen.push_back(h);
    ASSERT_EQ(closeProject(h), 1);
  }
  EXPECT_EQ(renameProject(project, "still open"), 1);
}

}  // namespace
