// Handles that are not live: destroyed ones, also after a new instance took
// their place, and made-up ones. Every export that takes an instance refuses
// them and touches nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "vxbas32.h"

namespace {

struct Call {
  const char* name;
  std::function<int64_t(QuorinHandle)> run;
  int64_t failure;
  bool liveDiffers;  // the live instance of the test gives another result
};

TEST(Handles, EveryExportRefusesADestroyedOrMadeUpHandle) {
  const QuorinHandle destroyed = QuorinCreate();
  ASSERT_NE(destroyed, nullptr);
  QuorinDestroy(destroyed);
  const QuorinHandle live = QuorinCreate();  // takes the destroyed instance's place
  ASSERT_NE(live, nullptr);
  EXPECT_NE(live, destroyed);

  const std::string source = "DEFINE X WORD\nINPUT X\nPRINT X;\nSYSCODE\n1 2 3\nSYSEND";
  char messages[256];
  ASSERT_EQ(QuorinSetCompilerMessageBuffer(live, messages, sizeof messages), 1);
  ASSERT_EQ(QuorinSetMemSourcePointer(live, source.c_str()), 1);
  ASSERT_EQ(QuorinCompile(live, nullptr), 0u) << messages;
  const uint32_t x = QuorinMapSymbol(live, "X");
  ASSERT_NE(x, 0u);
  QuorinSetInitialPortState(live, 0x1234);
  QuorinResetProgram(live);
  QuorinSetADC(live, 2, 99);
  ASSERT_EQ(QuorinStep(live), 0x00020001u);
  ASSERT_EQ(QuorinStep(live), 0x00020002u);  // waits for X
  ASSERT_EQ(QuorinSetValue(live, x, 55), 1);
  const uint16_t codeLength = QuorinGetCodeLength(live);

  char otherMessages[16];
  std::memset(otherMessages, 'k', sizeof otherMessages);
  uint8_t infos[4] = {7, 7, 7, 7};
  int16_t words[4] = {7, 7, 7, 7};
  const std::string otherSource = "PRINT 1\nPRINT 2\nPRINT 3\nPRINT 4";

  const std::vector<Call> calls = {
      {"QuorinSetBASFileName", [](QuorinHandle h) { return QuorinSetBASFileName(h, "x.bas"); }, 0,
       false},
      {"QuorinSetCompilerMessageBuffer",
       [&](QuorinHandle h) {
         return QuorinSetCompilerMessageBuffer(h, otherMessages, sizeof otherMessages);
       },
       0, true},
      {"QuorinSetMemSourcePointer",
       [&](QuorinHandle h) { return QuorinSetMemSourcePointer(h, otherSource.c_str()); }, 0, true},
      {"QuorinCompile", [](QuorinHandle h) { return QuorinCompile(h, nullptr); },
       QUORIN_COMPILE_NO_SOURCE, true},
      {"QuorinGetCodeLength", [](QuorinHandle h) { return QuorinGetCodeLength(h); }, 0, true},
      {"QuorinGetSysCodeLength", [](QuorinHandle h) { return QuorinGetSysCodeLength(h); }, 0,
       false},
      {"QuorinGetModuleLineInfos",
       [&](QuorinHandle h) { return QuorinGetModuleLineInfos(h, infos, 4); }, 0, true},
      {"QuorinIsValidBreakPoint", [](QuorinHandle h) { return QuorinIsValidBreakPoint(h, 2); }, 0,
       true},
      {"QuorinMapSymbol", [](QuorinHandle h) { return QuorinMapSymbol(h, "PRINTED"); }, 0, false},
      {"QuorinSetValue", [&](QuorinHandle h) { return QuorinSetValue(h, x, 1); }, 0, true},
      {"QuorinGetValue", [&](QuorinHandle h) { return QuorinGetValue(h, x); }, 0, true},
      {"QuorinStep", [](QuorinHandle h) { return QuorinStep(h); }, QUORIN_STEP_ERROR, true},
      {"QuorinGetOutputString",
       [](QuorinHandle h) { return static_cast<int64_t>(QuorinGetOutputString(h) != nullptr); }, 0,
       true},
      {"QuorinGetFileLength", [](QuorinHandle h) { return QuorinGetFileLength(h); }, 0, false},
      {"QuorinDumpFile", [&](QuorinHandle h) { return QuorinDumpFile(h, words); }, 0, false},
      {"QuorinGetPortState", [](QuorinHandle h) { return QuorinGetPortState(h); }, 0, true},
      {"QuorinGetInitialPortState", [](QuorinHandle h) { return QuorinGetInitialPortState(h); }, 0,
       true},
      {"QuorinGetADC", [](QuorinHandle h) { return QuorinGetADC(h, 2); }, 0, true},
      {"QuorinGetDAC", [](QuorinHandle h) { return QuorinGetDAC(h, 0); }, 0, false},
      {"QuorinDownload", [](QuorinHandle h) { return QuorinDownload(h, -1); },
       QUORIN_DOWNLOAD_WRITE_FAILED, false},
      {"QuorinGetProgress", [](QuorinHandle h) { return QuorinGetProgress(h); }, 0, false},
  };
  // The exports without a result; their effect on the live instance is checked below.
  const std::vector<std::function<void(QuorinHandle)>> actions = {
      [](QuorinHandle h) { QuorinResetProgram(h); },
      [](QuorinHandle h) { QuorinSetOptions(h, QUORIN_OPTION_REALTIME); },
      [](QuorinHandle h) { QuorinSetInputValue(h, 1); },
      [](QuorinHandle h) { QuorinSetInitialPortState(h, 0); },
      [](QuorinHandle h) { QuorinSetADC(h, 2, 0); },
      [](QuorinHandle h) { QuorinDestroy(h); },
  };

  int dummy = 0;
  const QuorinHandle notLive[] = {
      destroyed,
      nullptr,
      reinterpret_cast<QuorinHandle>(&dummy),
      reinterpret_cast<QuorinHandle>(uintptr_t{0x12345}),
      reinterpret_cast<QuorinHandle>(~uintptr_t{0}),
  };
  for (QuorinHandle bad : notLive) {
    for (const Call& c : calls) EXPECT_EQ(c.run(bad), c.failure) << c.name << " with " << bad;
    for (const auto& action : actions) action(bad);
    EXPECT_EQ(std::count(otherMessages, otherMessages + sizeof otherMessages, 'k'), 16);
    EXPECT_EQ(infos[0], 7);
    EXPECT_EQ(words[0], 7);
  }

  // The live instance kept its program, its state and its registers.
  EXPECT_EQ(QuorinGetCodeLength(live), codeLength);
  EXPECT_EQ(QuorinGetValue(live, x), 55);
  EXPECT_EQ(QuorinGetInitialPortState(live), 0x1234);
  EXPECT_EQ(QuorinGetADC(live, 2), 99);
  EXPECT_EQ(QuorinStep(live), 0x00020002u);  // still waits for X
  QuorinSetInputValue(live, -3);
  EXPECT_EQ(QuorinStep(live), 0x00030001u);
  EXPECT_EQ(QuorinGetValue(live, x), static_cast<uint16_t>(-3));

  // The calls whose live answer differs from their failure result give it.
  QuorinResetProgram(live);
  QuorinSetADC(live, 2, 99);
  for (const Call& c : calls) {
    if (c.liveDiffers) {
      EXPECT_NE(c.run(live), c.failure) << c.name;
    }
  }
  QuorinDestroy(live);
  for (const Call& c : calls) EXPECT_EQ(c.run(live), c.failure) << c.name << " after destroy";
}

TEST(Handles, RecreatedInstancesGetNewHandles) {
  std::vector<QuorinHandle> seen;
  for (int i = 0; i < 20; ++i) {
    const QuorinHandle h = QuorinCreate();
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), h), 0)
        << "handle repeated after " << i << " recreations";
    seen.push_back(h);
    QuorinDestroy(h);
  }
}

}  // namespace
