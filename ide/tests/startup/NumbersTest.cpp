// Numbers keep the decimal point in the program set up as main() does it,
// for a user with a German locale. A process of its own (ctest runs it alone):
// Qt takes the locale from the environment when the first application object
// of a process is made.
#include "widgets/mainwindow/IDEStartup.h"

#include "TempSettings.h"
#include "model/core/Services.h"

#include <vxbas32.h>

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace vexa::ide {
namespace {

struct Compiled {
  uint32_t status = 0;
  std::string messages;
  int codeLength = 0;
  std::vector<uint8_t> lineInfos;
};

// Compiles a program that reads the table file beside it.
Compiled CompileTable(const std::string& Folder) {
  static const char source[] = "TABLE T \"t.txt\"\r\n";
  std::vector<char> buffer(4096);
  Compiled c;
  QuorinHandle h = QuorinCreate();
  QuorinSetMemSourcePointer(h, source);
  QuorinSetCompilerMessageBuffer(h, buffer.data(), int32_t(buffer.size()));
  c.status = QuorinCompile(h, Folder.c_str());
  c.messages = buffer.data();
  c.codeLength = QuorinGetCodeLength(h);
  c.lineInfos.resize(4);
  QuorinGetModuleLineInfos(h, c.lineInfos.data(), int32_t(c.lineInfos.size()));
  QuorinDestroy(h);
  return c;
}

std::string FormatG(double Value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", Value);
  return text;
}

TEST(Numbers, KeepTheDecimalPointUnderAGermanLocale) {
  if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) GTEST_SKIP() << "de_DE.UTF-8 not generated";
  std::setlocale(LC_ALL, "C");
  test::TTempSettings temp;
  QTemporaryDir dir;
  const std::string folder = dir.path().toStdString();
  std::ofstream(folder + "/t.txt") << "1.5 2\r\n";

  ::setenv("LC_ALL", "de_DE.UTF-8", 1);
  std::string ctype, formatted;
  Compiled german;
  TStartupHooks hooks = IDEStartupHooks();
  hooks.RunEventLoop = [&] {
    ctype = std::setlocale(LC_CTYPE, nullptr);
    formatted = FormatG(3.5);
    german = CompileTable(folder);
    return 0;
  };
  char program[] = "vexaide";
  char noSplash[] = "-ns";
  char* argv[] = {program, noSplash, nullptr};
  int argc = 2;
  RunIDE(argc, argv, hooks);
  ::unsetenv("LC_ALL");
  std::setlocale(LC_ALL, "C");
  ReleaseServices();

  ASSERT_EQ(ctype.rfind("de_DE", 0), 0u) << "the application did not take the German locale";
  EXPECT_EQ(formatted, "3.5");
  const Compiled plain = CompileTable(folder);
  EXPECT_EQ(plain.status, uint32_t(QUORIN_COMPILE_OK)) << plain.messages;
  EXPECT_EQ(german.status, plain.status) << german.messages;
  EXPECT_EQ(german.messages, plain.messages);
  EXPECT_EQ(german.codeLength, plain.codeLength);
  EXPECT_EQ(german.lineInfos, plain.lineInfos);
}

}  // namespace
}  // namespace vexa::ide
