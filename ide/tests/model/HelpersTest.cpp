#include "model/core/Helpers.h"

#include "FakeDialogs.h"
#include "model/core/VexaIntfs.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <stdexcept>

namespace vexa::ide {
namespace {

using test::TFakeDialogs;
using test::TScopedFakeDialogs;

TEST(Helpers, EnsureRangeForcesIntoTheRange) {
  struct Case {
    int value, lo, hi, expected;
  } const cases[] = {
      {0, 1, 8, 1}, {9, 1, 8, 8}, {5, 1, 8, 5},         {1, 1, 8, 1},
      {8, 1, 8, 8}, {5, 8, 1, 8}, {INT32_MIN, 1, 8, 1}, {INT32_MAX, 1, 8, 8},
  };
  for (const Case& c : cases)
    EXPECT_EQ(EnsureRange(c.value, c.lo, c.hi), c.expected)
        << c.value << " in " << c.lo << ".." << c.hi;
}

TEST(Helpers, FileKindComesFromTheExtensionOfTheName) {
  struct Case {
    const char* name;
    TFileKind kind;
  } const cases[] = {
      {"/work/Robot.V2P", TFileKind::V2Project},
      {"C:\\Work\\Robot.V2P", TFileKind::V2Project},
      {"a.v2", TFileKind::V2Module},
      {"prog.BAS", TFileKind::BasicProject},
      {"notes.txt", TFileKind::Plain},
      {"Makefile", TFileKind::Plain},
      {"/work/dir.v2/readme", TFileKind::Plain},
      {"C:\\dir.bas\\readme", TFileKind::Plain},
      {"a.v2.bak", TFileKind::Plain},
      {"", TFileKind::Plain},
  };
  for (const Case& c : cases) EXPECT_EQ(FileKindOf(c.name), c.kind) << c.name;
}

TEST(Helpers, ModuleNameIsTheLowerCaseNamePart) {
  struct Case {
    const char* name;
    bool strip;
    const char* expected;
  } const cases[] = {
      {"/work/Motor.V2", true, "motor"},      {"/work/Motor.V2", false, "motor.v2"},
      {"/work/motor.txt", true, "motor.txt"}, {"C:\\Work\\Motor.V2", true, "motor"},
      {"Motor_2.v2", true, "motor_2"},        {"/work/MOTOR", true, "motor"},
      {"/work/a.v2.v2", true, "a.v2"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ModuleNameOf(c.name, c.strip), c.expected) << c.name << " " << c.strip;
}

TEST(Helpers, RelativeFileNameOnlyForExactlyThatDirectory) {
  struct Case {
    const char* name;
    const char* dir;
    const char* expected;
  } const cases[] = {
      {"/work/a.v2", "/work", "a.v2"},
      {"/work/a.v2", "/work/", "/work/a.v2"},
      {"/work/a.v2", "/other", "/work/a.v2"},
      {"/work/a.v2", "/Work", "/work/a.v2"},  // file names differ in case on Linux
      {"/work/sub/a.v2", "/work", "/work/sub/a.v2"},
      {"C:\\Work\\a.v2", "C:\\Work", "a.v2"},
      {"a.v2", "", "a.v2"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(RelativeFileName(c.name, c.dir), c.expected) << c.name << " in " << c.dir;
}

TEST(Helpers, CommentLines) {
  for (const char* line : {"", "x", "//", "// motor", "//x"})
    EXPECT_TRUE(IsCommentLine(line)) << '"' << line << '"';
  for (const char* line : {"/x", "a.v2", " //", "x//"})
    EXPECT_FALSE(IsCommentLine(line)) << '"' << line << '"';
}

TEST(Helpers, NamePartsAcceptBothSeparators) {
  EXPECT_EQ(ExtractFileName("C:\\Work\\a.v2"), "a.v2");
  EXPECT_EQ(ExtractFileName("/work/sub\\a.v2"), "a.v2");
  EXPECT_EQ(ExtractFileName("a.v2"), "a.v2");
  EXPECT_EQ(ExtractFileDir("/work/sub/a.v2"), "/work/sub");
  EXPECT_EQ(ExtractFileDir("C:\\Work\\a.v2"), "C:\\Work");
  EXPECT_EQ(ExtractFileDir("/a.v2"), "/");
  EXPECT_EQ(ExtractFileDir("a.v2"), "");
  EXPECT_EQ(ToLocalSeparators("Lib\\motor.v2"), "Lib/motor.v2");
}

class FileNames : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
  QString Path(const QString& name) const { return dir_.path() + "/" + name; }
  void Create(const QString& name) {
    QFile f(Path(name));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  }
  QTemporaryDir dir_;
};

TEST_F(FileNames, ReadOnlyIsAFileWithoutTheOwnerWriteBit) {
  Create("ro.v2");
  Create("rw.v2");
  QFile::setPermissions(Path("ro.v2"), QFileDevice::ReadOwner | QFileDevice::ReadGroup);
  QFile::setPermissions(Path("rw.v2"), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
  EXPECT_TRUE(IsReadOnlyFile(Path("ro.v2")));
  EXPECT_FALSE(IsReadOnlyFile(Path("rw.v2")));
  EXPECT_FALSE(IsReadOnlyFile(Path("missing.v2")));
  EXPECT_FALSE(IsReadOnlyFile(""));
}

TEST_F(FileNames, SameFileComparesCanonicalPathsWithCase) {
  Create("a.v2");
  ASSERT_TRUE(QDir(dir_.path()).mkdir("sub"));
  ASSERT_TRUE(QFile::link(Path("a.v2"), Path("link.v2")));
  struct Case {
    QString a, b;
    bool same;
  } const cases[] = {
      {Path("a.v2"), Path("a.v2"), true},
      {Path("a.v2"), Path("sub/../a.v2"), true},
      {Path("a.v2"), Path("./a.v2"), true},
      {Path("a.v2"), Path("link.v2"), true},
      {Path("a.v2"), Path("A.v2"), false},
      {Path("new.v2"), Path("sub/../new.v2"), true},
      {Path("new.v2"), Path("other.v2"), false},
      {Path("new.v2"), Path("NEW.v2"), false},
      {"", "", false},
      {Path("a.v2"), "", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(SameFileName(c.a, c.b), c.same) << c.a.toStdString() << " / " << c.b.toStdString();
}

TEST_F(FileNames, ExpandFileNameIsAbsoluteAndClean) {
  EXPECT_EQ(ExpandFileName(""), "");
  EXPECT_EQ(ExpandFileName(Path("sub/../x/./y.v2")), QDir::cleanPath(dir_.path()) + "/x/y.v2");
  EXPECT_EQ(ExpandFileName("rel.v2"), QDir::cleanPath(QDir::currentPath() + "/rel.v2"));
}

TEST(FormatText, FillsPlaceholdersAndInsertsArgumentsAsTheyAre) {
  struct Case {
    const char* format;
    std::initializer_list<TFormatArg> args;
    const char* expected;
  } const cases[] = {
      {"Fehler beim Schreiben der Datei \"%s\"!",
       {"/tmp/100%d%s.v2"},
       "Fehler beim Schreiben der Datei \"/tmp/100%d%s.v2\"!"},
      {"%s (%d)", {"motor", 12}, "motor (12)"},
      {"100%% %s", {"x"}, "100% x"},
      {"[%6d:%3d]", {12, 5}, "[    12:  5]"},
      {"[%-4s]", {"ab"}, "[ab  ]"},
      {"%d", {"text"}, "text"},
      {"%s and %s", {"one"}, "one and %s"},
      {"%x %", {"unused"}, "%x %"},
      {"none", {"extra"}, "none"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatText(c.format, c.args), c.expected) << c.format;
}

struct E1 : std::runtime_error {
  using std::runtime_error::runtime_error;
};

TEST(MessageBoxes, ShowTheirTextsUnchangedThroughTheInstalledDialogs) {
  TScopedFakeDialogs fake;
  ShowError("50% %s done");
  ShowErrorFmt("\"%s\" ist kein gültiger Modulname!", "3d%s");
  ShowExceptionError(E1("bad %s"), "Fehler");
  ShowExceptionError(std::logic_error("x"), "100%");
  EXPECT_EQ(fake->Texts(), QStringList({"50% %s done", "\"3d%s\" ist kein gültiger Modulname!",
                                        "Fehler\r\n\r\nE1: bad %s", "100%\r\n\r\nlogic_error: x"}));
  for (const auto& call : fake->calls) EXPECT_EQ(call.kind, TFakeDialogs::Kind::Error);
}

TEST(MessageBoxes, QuestionsReturnTheAnswerGiven) {
  TScopedFakeDialogs fake;
  fake->confirmAnswers = {true, false};
  fake->confirmCancelAnswers = {IdYes, IdNo, IdCancel};
  EXPECT_TRUE(Confirm("a?"));
  EXPECT_FALSE(ConfirmFmt("Wollen Sie das Modul \"%s\" wirklich aus dem Projekt löschen?", "m%d"));
  EXPECT_EQ(ConfirmCancel("c1"), 6);
  EXPECT_EQ(ConfirmCancel("c2"), 7);
  EXPECT_EQ(ConfirmCancel("c3"), 2);
  EXPECT_EQ(fake->Texts(),
            QStringList({"a?", "Wollen Sie das Modul \"m%d\" wirklich aus dem Projekt löschen?",
                         "c1", "c2", "c3"}));
  EXPECT_EQ(fake->calls[1].kind, TFakeDialogs::Kind::Confirm);
  EXPECT_EQ(fake->calls[2].kind, TFakeDialogs::Kind::ConfirmCancel);
}

TEST(MessageBoxes, WithoutDialogsNothingIsConfirmed) {
  auto previous = SetDialogs(nullptr);
  EXPECT_FALSE(Confirm("Soll das geänderte Projekt gespeichert werden?"));
  EXPECT_EQ(ConfirmCancel("Soll der geänderte Quelltext gespeichert werden?"), IdCancel);
  TFileDialog dialog;
  dialog.FileName = "kept.v2";
  EXPECT_FALSE(Dialogs().ExecuteFileDialog(dialog));
  EXPECT_EQ(dialog.FileName, "kept.v2");
  SetDialogs(previous);
}

TEST(FileDialogFilters, BecomeQtNameFilters) {
  EXPECT_EQ(FileDialogFilters("Vexa II Projekte|*.v2p|Vexa II Module|*.v2|Vexa/BASIC "
                              "Projekte|*.bas|Alle Dateien|*.*"),
            QStringList({"Vexa II Projekte (*.v2p)", "Vexa II Module (*.v2)",
                         "Vexa/BASIC Projekte (*.bas)", "Alle Dateien (*)"}));
  EXPECT_EQ(FileDialogFilters("Quellen|*.v2;*.bas"), QStringList({"Quellen (*.v2 *.bas)"}));
  EXPECT_EQ(FileDialogFilters(""), QStringList());
}

}  // namespace
}  // namespace vexa::ide
