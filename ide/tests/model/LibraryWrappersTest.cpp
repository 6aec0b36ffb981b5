// The simulator and VXBasic wrappers over fake export tables: failures throw
// the wrapper's exception with the export's name, texts cross in
// Windows-1252.
#include "model/libraries/Vx2SimLibrary.h"
#include "model/libraries/VxBas32Library.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

namespace vexa::ide {
namespace {

// A handle the fakes never dereference.
QuorinHandle FakeQuorin() { return reinterpret_cast<QuorinHandle>(std::uintptr_t(0x10)); }
Vx2SimHandle FakeMachine() { return reinterpret_cast<Vx2SimHandle>(std::uintptr_t(0x20)); }

std::string gPassed;

TVxBas32Functions FakeBasic() {
  TVxBas32Functions f;
  f.QuorinCreate = [] { return FakeQuorin(); };
  f.QuorinDestroy = [](QuorinHandle) {};
  return f;
}

TEST(VxBas32Library, FailuresNameTheExport) {
  TVxBas32Functions functions = FakeBasic();
  functions.QuorinCreate = []() -> QuorinHandle { return nullptr; };
  try {
    TVxBas32Library library(functions);
    FAIL() << "no exception";
  } catch (const EVxBas32Exception& e) {
    EXPECT_STREQ(e.what(), "Internal error: QuorinCreate() failed");
  }

  functions = FakeBasic();
  functions.QuorinGetModuleLineInfos = [](QuorinHandle, uint8_t*, int32_t) { return 0; };
  TVxBas32Library library(functions);
  try {
    library.GetModuleLineInfos(3);
    FAIL() << "no exception";
  } catch (const ELibraryException& e) {
    EXPECT_STREQ(e.what(), "QuorinGetModuleLineInfos() failed");
  }
}

TEST(VxBas32Library, TextsCrossInWindows1252AndStepsSplitKindAndValue) {
  TVxBas32Functions functions = FakeBasic();
  functions.QuorinSetCompilerMessageBuffer = [](QuorinHandle, char* Buffer, int32_t Size) {
    EXPECT_EQ(Size, int32_t(TVxBas32Library::kMessageBufferUsed));
    std::strcpy(Buffer, "(1) \x80\r\n");
    return 1;
  };
  functions.QuorinSetMemSourcePointer = [](QuorinHandle, const char* Source) {
    gPassed = Source;
    return 1;
  };
  functions.QuorinCompile = [](QuorinHandle, const char*) -> uint32_t {
    return (2u << 16) | QUORIN_COMPILE_ERRORS;
  };
  functions.QuorinMapSymbol = [](QuorinHandle, const char* Name) -> uint32_t {
    gPassed = Name;
    return 7;
  };
  functions.QuorinStep = [](QuorinHandle) -> uint32_t { return (12u << 16) | QUORIN_STEP_LINE; };
  TVxBas32Library library(functions);
  const QString euro = QString::fromUtf8("€");

  // The source is bytes and goes as it is; names and messages are Windows-1252.
  const TVxBas32Library::TCompileStatus status = library.Compile("PRINT \"" + euro.toUtf8() + "\"");
  EXPECT_EQ(status.Status, QUORIN_COMPILE_ERRORS);
  EXPECT_EQ(status.ErrorCount, 2);
  EXPECT_EQ(gPassed, "PRINT \"\xE2\x82\xAC\"");
  EXPECT_EQ(library.MessageText(), "(1) " + euro + "\r\n");

  EXPECT_EQ(library.MapSymbol("Z" + euro), 7u);
  EXPECT_EQ(gPassed, "Z\x80");

  const TVxBas32Library::TStepResult step = library.Step();
  EXPECT_EQ(step.Kind, QUORIN_STEP_LINE);
  EXPECT_EQ(step.Value, 12);
}

TVx2SimFunctions FakeSim() {
  TVx2SimFunctions f;
  f.createMachine = [](const char*) { return FakeMachine(); };
  f.destroyMachine = [](Vx2SimHandle) { return int32_t(1); };
  return f;
}

TEST(Vx2SimLibrary, FailuresNameTheExport) {
  TVx2SimFunctions functions = FakeSim();
  functions.step = [](Vx2SimHandle, StepInfo*) { return int32_t(0); };
  functions.resetMachine = [](Vx2SimHandle) { return int32_t(0); };
  TVx2SimLibrary machine(QStringLiteral("p"), functions);
  StepInfo info{};
  try {
    machine.Step(info);
    FAIL() << "no exception";
  } catch (const EV2SimException& e) {
    EXPECT_STREQ(e.what(), "step() failed");
  }
  try {
    machine.Reset();
    FAIL() << "no exception";
  } catch (const ELibraryException& e) {
    EXPECT_STREQ(e.what(), "resetMachine() failed");
  }
}

TEST(Vx2SimLibrary, TextsCrossInWindows1252WithinTheirBuffer) {
  TVx2SimFunctions functions = FakeSim();
  functions.getStringText = [](Vx2SimHandle, int32_t Index, char* Text) {
    if (Index == 1)
      std::strcpy(Text, "\x80 ok");
    else  // every byte of the buffer, no NUL
      std::memset(Text, 'x', TVx2SimLibrary::kStringTextSize);
    return int32_t(Index != 0);
  };
  functions.setValueAsText = [](Vx2SimHandle, int32_t, const char* Text) {
    gPassed = Text;
    return int32_t(1);
  };
  TVx2SimLibrary machine(QStringLiteral("p"), functions);
  const QString euro = QString::fromUtf8("€");
  EXPECT_EQ(machine.GetStringText(1), euro + " ok");
  EXPECT_EQ(machine.GetStringText(2), QString(TVx2SimLibrary::kStringTextSize, QLatin1Char('x')));
  EXPECT_EQ(machine.GetStringText(0), std::nullopt);
  EXPECT_TRUE(machine.SetValueAsText(3, euro));
  EXPECT_EQ(gPassed, "\x80");
}

}  // namespace
}  // namespace vexa::ide
