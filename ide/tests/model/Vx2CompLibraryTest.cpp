#include "QStringPrinter.h"
#include "V2Programs.h"
#include "model/libraries/Vx2CompLibrary.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QTemporaryDir>

#include <cstring>
#include <functional>
#include <memory>

namespace vexa::ide {
namespace {

using test::kDisplay;
using test::kMain;
using test::kMotor;

std::string ErrorOf(const std::function<void()>& Call) {
  try {
    Call();
  } catch (const EV2DllException& e) {
    return e.what();
  }
  return "no exception";
}

TEST(Vx2CompLibrary, ThreeModuleProjectBuildsAndWritesOutputFiles) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  TVx2CompLibrary library(QStringLiteral("demo"));
  // A failed build is an answer, not a failed call.
  library.BeginBuild();
  EXPECT_FALSE(library.FinishBuild());
  EXPECT_EQ(library.MessageLines().size(), 1);

  const int motor = library.AddModule(QStringLiteral("motor"), QByteArray(kMotor));
  const int display = library.AddModule(QStringLiteral("display"), QByteArray(kDisplay));
  const int main = library.AddModule(QStringLiteral("main"), QByteArray(kMain));
  EXPECT_EQ(std::vector<int>({motor, display, main}), std::vector<int>({1, 2, 3}));

  library.BeginBuild();
  for (auto [module, name] : {std::pair{motor, "motor"}, {display, "display"}, {main, "main"}}) {
    EXPECT_EQ(library.CompileModule(module), 0) << library.MessageText().toStdString();
    EXPECT_EQ(library.MessageLines(), QStringList{QString::fromLatin1(name) + " : OK"});
  }
  const std::vector<std::uint8_t> infos = library.GetModuleLineInfos(main, 4);
  ASSERT_EQ(infos.size(), 4u);
  EXPECT_TRUE(infos[1] & VX2COMP_LINE_CODE);
  EXPECT_TRUE(infos[2] & VX2COMP_LINE_CODE);

  ASSERT_TRUE(library.FinishBuild()) << library.MessageText().toStdString();
  EXPECT_EQ(library.MessageLines().size(), 1);
  const QString base = dir.filePath(QStringLiteral("demo"));
  library.WriteOutputFile(base);
  EXPECT_GT(QFileInfo(base + ".vmc").size(), 0);
  EXPECT_GT(QFileInfo(base + ".dbg").size(), 0);

  const std::vector<std::uint8_t> image = library.VMCImage();
  EXPECT_GT(image.size(), 8u);
  EXPECT_EQ(image.size(), library.GetRequiredVMCBufferSize());

  // A later compile makes the image unavailable: nothing to download then.
  library.CompileModule(motor);
  EXPECT_TRUE(library.VMCImage().empty());
}

TEST(Vx2CompLibrary, AddModuleRefusalsNameTheModuleAndTheReason) {
  TVx2CompLibrary library(QStringLiteral("p"));
  library.AddModule(QStringLiteral("motor"), QByteArray());
  EXPECT_EQ(ErrorOf([&] { library.AddModule(QStringLiteral("motor"), QByteArray()); }),
            "dll function addModule() failed - \"motor\" is already a module of this project");
  EXPECT_EQ(ErrorOf([&] { library.AddModule(QStringLiteral("9motor"), QByteArray()); }),
            "dll function addModule() failed - \"9motor\" is not a valid module name");
  EXPECT_EQ(library.ModuleCount(), 1);
  library.RemoveAll();
  EXPECT_EQ(library.ModuleCount(), 0);
  EXPECT_EQ(library.AddModule(QStringLiteral("motor"), QByteArray()), 1);
}

// The library reads a text-mode source at every compile: the texts handed in
// must live on after the caller's strings are gone (a dangling one is a
// use-after-free under the sanitizer, or a wrong message here).
TEST(Vx2CompLibrary, SourceTextsOutliveTheCallersStrings) {
  TVx2CompLibrary library(QStringLiteral("p"));
  std::vector<int> modules;
  {
    std::vector<QByteArray> texts;
    for (int i = 0; i < 3; ++i) texts.push_back(QByteArray("\n").repeated(i + 1) + "int a b;\n");
    for (int i = 0; i < 3; ++i)
      modules.push_back(library.AddModule(QStringLiteral("m%1").arg(i), texts[i]));
  }
  for (int i = 0; i < 3; ++i) {
    library.CompileModule(modules[i]);
    EXPECT_EQ(library.MessageLines().value(0),
              QStringLiteral("m%1 (%2) : ; expected").arg(i).arg(i + 2));
  }
  // Short texts too (kept inside the string object itself elsewhere).
  library.ReplaceModuleSource(modules[0], QByteArray("int a b;\n"));
  library.CompileModule(modules[0]);
  EXPECT_EQ(library.MessageLines().value(0), QStringLiteral("m0 (1) : ; expected"));
  // A refused replacement leaves the other texts in place.
  EXPECT_EQ(ErrorOf([&] { library.ReplaceModuleSource(99, QByteArray("int z;")); }),
            "dll function replaceModuleSource() failed");
  library.CompileModule(modules[1]);
  EXPECT_EQ(library.MessageLines().value(0), QStringLiteral("m1 (3) : ; expected"));
}

TEST(Vx2CompLibrary, IdentifierServicesAnswerThroughTheirOutputs) {
  TVx2CompLibrary library(QStringLiteral("p"));
  const int motor = library.AddModule(QStringLiteral("motor"), QByteArray(kMotor));
  const int main = library.AddModule(QStringLiteral("main"), QByteArray(kMain));
  library.CompileModule(motor);
  library.CompileModule(main);

  int module = main, line = 2;
  EXPECT_TRUE(library.GetIdentDefPos(QStringLiteral("motor.clamp"), module, line));
  EXPECT_EQ(module, motor);
  EXPECT_EQ(line, 2);
  EXPECT_FALSE(library.GetIdentDefPos(QStringLiteral("nothing"), module, line));
  EXPECT_EQ(module, motor);

  QStringList lines;
  ASSERT_TRUE(library.GetIdentCompletions(QStringLiteral("motor"), main, 2, lines));
  EXPECT_EQ(lines,
            (QStringList{QStringLiteral("speed (variable)"), QStringLiteral("clamp (function)")}));
  EXPECT_FALSE(library.GetIdentCompletions(QStringLiteral("nothing"), main, 2, lines));

  EXPECT_EQ(library.GetIdentFullName(QStringLiteral("motor.speed"), main, 2),
            QStringLiteral("motor.speed"));
  EXPECT_EQ(library.GetIdentFullName(QStringLiteral("nothing"), main, 2), QString());
}

// Fakes for the calls that the real library does not fail on demand. Each
// keeps what it was given in these variables.
char* gBuffer = nullptr;
std::uint32_t gBufferSize = 0;
const char* gFakeText = "";

int32_t Refuse0(Vx2ProjectHandle) { return 0; }
int32_t RefuseModule(Vx2ProjectHandle, int32_t) { return 0; }
int32_t KeepBuffer(Vx2ProjectHandle, char* Buffer, uint32_t Size) {
  gBuffer = Buffer;
  gBufferSize = Size;
  return 1;
}
// Fills the whole buffer without a NUL when the text is longer than it.
int32_t WriteFakeText(Vx2ProjectHandle, int32_t) {
  std::memset(gBuffer, 0, gBufferSize);
  std::memcpy(gBuffer, gFakeText, std::min<std::size_t>(std::strlen(gFakeText), gBufferSize));
  return 1;
}

TEST(Vx2CompLibrary, EveryFailedCallThrowsWithTheExportsName) {
  struct Case {
    const char* function;
    std::function<void(TVx2CompFunctions&)> fake;
    std::function<void(TVx2CompLibrary&, int)> call;
  } const cases[] = {
      {"compileModule", [](auto& f) { f.compileModule = RefuseModule; },
       [](auto& l, int m) { l.CompileModule(m); }},
      {"setMessageBuffer",
       [](auto& f) { f.setMessageBuffer = [](Vx2ProjectHandle, char*, uint32_t) { return 0; }; },
       [](auto& l, int) { l.FinishBuild(); }},
      {"removeAll", [](auto& f) { f.removeAll = Refuse0; }, [](auto& l, int) { l.RemoveAll(); }},
      {"removeModule", [](auto& f) { f.removeModule = RefuseModule; },
       [](auto& l, int m) { l.RemoveModule(m); }},
      {"beginBuild", [](auto& f) { f.beginBuild = Refuse0; }, [](auto& l, int) { l.BeginBuild(); }},
      {"getModuleLineInfos",
       [](auto& f) {
         f.getModuleLineInfos = [](Vx2ProjectHandle, int32_t, uint8_t*, uint32_t) { return 0; };
       },
       [](auto& l, int m) { l.GetModuleLineInfos(m, 3); }},
      {"writeOutputFile",
       [](auto& f) { f.writeOutputFile = [](Vx2ProjectHandle, const char*) { return 0; }; },
       [](auto& l, int) { l.WriteOutputFile(QStringLiteral("/nonexistent/x")); }},
      {"fillVMCBuffer",
       [](auto& f) {
         f.getRequiredVMCBufferSize = [](Vx2ProjectHandle) -> uint32_t { return 16; };
         f.fillVMCBuffer = [](Vx2ProjectHandle, uint8_t*) { return 0; };
       },
       [](auto& l, int) { l.VMCImage(); }},
      {"closeProject",
       [](auto& f) {
         f.closeProject = [](Vx2ProjectHandle h) {
           ::closeProject(h);
           return 0;
         };
       },
       [](auto& l, int) { l.Close(); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.function);
    TVx2CompFunctions functions;
    c.fake(functions);
    TVx2CompLibrary library(QStringLiteral("p"), functions);
    const int m = library.AddModule(QStringLiteral("m"), QByteArray("int a;\n"));
    EXPECT_EQ(ErrorOf([&] { c.call(library, m); }),
              std::string("dll function ") + c.function + "() failed");
  }

  TVx2CompFunctions functions;
  functions.openProject = [](const char*) -> Vx2ProjectHandle { return 0; };
  EXPECT_EQ(ErrorOf([&] { TVx2CompLibrary library(QStringLiteral("p"), functions); }),
            "dll function openProject() failed");
}

// Every text handed to the library, in the order given.
std::vector<std::string> gPassed;

// Names and identifiers go to the library in Windows-1252 and its texts come
// back so; module texts are bytes and go as they are.
TEST(Vx2CompLibrary, TextsCrossInWindows1252ModuleTextsAsTheirBytes) {
  gPassed.clear();
  TVx2CompFunctions functions;
  functions.openProject = [](const char* Name) {
    gPassed.emplace_back(Name);
    return ::openProject("p");
  };
  functions.addModule = [](Vx2ProjectHandle h, const char* Name, const char* Source, int32_t) {
    gPassed.emplace_back(Name);
    gPassed.emplace_back(Source);
    return ::addModule(h, "m", "", VX2COMP_SOURCE_TEXT);
  };
  functions.replaceModuleSource = [](Vx2ProjectHandle, int32_t, const char* Source, int32_t) {
    gPassed.emplace_back(Source);
    return 1;
  };
  functions.setMessageBuffer = KeepBuffer;
  functions.compileModule = WriteFakeText;
  functions.getIdentDefPos = [](Vx2ProjectHandle, const char* Text, int32_t*, int32_t*) {
    gPassed.emplace_back(Text);
    return 1;
  };
  functions.getIdentCompletions = [](Vx2ProjectHandle, const char* Text, int32_t, int32_t,
                                     char* Buffer, uint32_t) {
    gPassed.emplace_back(Text);
    std::strcpy(Buffer, "\x80 (variable)\n\x9F (function)\n");
    return 1;
  };
  functions.getIdentFullName = [](Vx2ProjectHandle, const char* Text, int32_t, int32_t,
                                  char* Buffer, uint32_t) {
    gPassed.emplace_back(Text);
    std::strcpy(Buffer, "m.\x80\x9F");
    return 1;
  };
  const QString euro = QString::fromUtf8("€"), y = QString::fromUtf8("Ÿ");
  TVx2CompLibrary library(euro + "p", functions);
  const int m = library.AddModule("m" + y, "string s = \"" + (euro + y).toUtf8() + "\";\n");
  library.ReplaceModuleSource(m, "s = \"\x9F\";\n");
  int module = m, line = 1;
  library.GetIdentDefPos("m." + euro, module, line);
  QStringList completions;
  ASSERT_TRUE(library.GetIdentCompletions(y, m, 1, completions));
  EXPECT_EQ(completions, (QStringList{euro + " (variable)", y + " (function)"}));
  EXPECT_EQ(library.GetIdentFullName(euro, m, 1), "m." + euro + y);
  EXPECT_EQ(gPassed,
            (std::vector<std::string>{"\x80p", "m\x9F", "string s = \"\xE2\x82\xAC\xC5\xB8\";\n",
                                      "s = \"\x9F\";\n", "m.\x80", "\x9F", "\x80"}));

  gFakeText = "m\x9F (1) : \x80 expected\n";
  library.CompileModule(m);
  EXPECT_EQ(library.MessageLines(), QStringList{"m" + y + " (1) : " + euro + " expected"});
}

TEST(Vx2CompLibrary, MessageBufferIsReadWithinItsBoundsAndNeverStale) {
  TVx2CompFunctions functions;
  functions.setMessageBuffer = KeepBuffer;
  functions.compileModule = WriteFakeText;
  TVx2CompLibrary library(QStringLiteral("p"), functions);
  const int m = library.AddModule(QStringLiteral("m"), QByteArray());

  const std::string full(5000, 'x');
  gFakeText = full.c_str();
  library.CompileModule(m);
  EXPECT_EQ(gBufferSize, TVx2CompLibrary::kMessageBufferSize);
  EXPECT_EQ(library.MessageText(), QString(4096, QLatin1Char('x')));

  gFakeText = " \t m (1) : a\nm (2) : b\r\n\r\n";
  library.CompileModule(m);
  EXPECT_EQ(library.MessageLines(),
            (QStringList{QStringLiteral(" \t m (1) : a"), QStringLiteral("m (2) : b")}));
  EXPECT_EQ(library.MessageTextCRLF(), QStringLiteral("m (1) : a\r\nm (2) : b"));

  // A call that writes nothing leaves nothing to read.
  functions.compileModule = [](Vx2ProjectHandle h, int32_t m) {
    static int calls = 0;
    return calls++ == 0 ? WriteFakeText(h, m) : -1;
  };
  TVx2CompLibrary once(QStringLiteral("q"), functions);
  gFakeText = "old text\n";
  once.CompileModule(1);
  EXPECT_EQ(once.MessageText(), QStringLiteral("old text\n"));
  EXPECT_EQ(once.CompileModule(1), 0);
  EXPECT_EQ(once.MessageText(), QString());
}

// Messages and completions split like every other library text: a lone CR
// ends a line too.
TEST(Vx2CompLibrary, ACarriageReturnAloneEndsAMessageLine) {
  TVx2CompFunctions functions;
  functions.setMessageBuffer = KeepBuffer;
  functions.compileModule = WriteFakeText;
  functions.getIdentCompletions = [](Vx2ProjectHandle, const char*, int32_t, int32_t, char* Buffer,
                                     uint32_t) {
    std::strcpy(Buffer, "a (variable)\rb (function)\r\rc (type)");
    return 1;
  };
  TVx2CompLibrary library(QStringLiteral("p"), functions);
  const int m = library.AddModule(QStringLiteral("m"), QByteArray());

  gFakeText = "m (1) : a\rm (2) : b\r\rm (3) : c\r\n";
  library.CompileModule(m);
  EXPECT_EQ(library.MessageLines(),
            (QStringList{QStringLiteral("m (1) : a"), QStringLiteral("m (2) : b"),
                         QStringLiteral("m (3) : c")}));

  QStringList completions;
  ASSERT_TRUE(library.GetIdentCompletions(QStringLiteral("x"), m, 1, completions));
  EXPECT_EQ(completions, (QStringList{QStringLiteral("a (variable)"),
                                      QStringLiteral("b (function)"), QStringLiteral("c (type)")}));
}

}  // namespace
}  // namespace vexa::ide
