#include "model/files/ProjectFiles.h"

#include "FakeDialogs.h"
#include "MockIntfs.h"
#include "TempSettings.h"
#include "model/core/Helpers.h"
#include "model/core/LineNumberList.h"
#include "model/core/Services.h"
#include "model/projects/V2Module.h"
#include "model/projects/VexaWatch.h"
#include "model/settings/Options.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <map>
#include <vector>

namespace vexa::ide {
namespace {

using test::MockVexaProject;
using test::TFakeDialogs;
using test::TScopedFakeDialogs;
using test::TTempSettings;
using testing::NiceMock;

class ProjectFilesTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    project_ = std::make_shared<NiceMock<MockVexaProject>>();
  }
  void TearDown() override { ReleaseServices(); }

  QString Path(const QString& Relative) const { return dir_.path() + "/" + Relative; }

  // Writes Bytes to the file Relative in the temporary folder, making folders.
  QString Write(const QString& Relative, const QByteArray& Bytes) {
    const QString path = Path(Relative);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(Bytes);
    return path;
  }

  QByteArray Read(const QString& Path) {
    QFile file(Path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }

  QStringList Errors() {
    QStringList texts;
    for (const TFakeDialogs::Call& call : dialogs_->calls) {
      EXPECT_EQ(call.kind, TFakeDialogs::Kind::Error) << call.text.toStdString();
      texts << call.text;
    }
    return texts;
  }

  // "name" or "name!" for each module; "!" marks a used one.
  static QStringList Summary(const TVexaInterfaceList<IVexaModule>& Modules) {
    QStringList out;
    for (int i = 0; i < Modules.Count(); ++i) {
      const Ref<IVexaModule> m = Modules.Get(i);
      out << QString("%1:%2%3").arg(int(m->GetKind())).arg(m->GetName(), m->IsUsed() ? "!" : "");
    }
    return out;
  }

  // The same for records, with the module name their file gives.
  static QStringList Summary(const std::vector<TModuleRecord>& Records) {
    QStringList out;
    for (const TModuleRecord& r : Records)
      out << QString("%1:%2%3").arg(int(r.Kind)).arg(ModuleNameOf(r.FileName), r.Used ? "!" : "");
    return out;
  }

  // System folder: lcd (used), motor, gps in a subfolder; common folder: util.
  void MakeLibraries() {
    Write("lib/lcd.v2", "");
    Write("lib/motor.v2", "");
    Write("lib/sub/gps.v2", "");
    Write("lib/modules.txt", "// system modules\r\nlcd.v2!\r\nmotor.v2\r\nsub\\gps.v2\r\n");
    Write("user/util.v2", "");
    Write("user/modules.txt", "util.v2\n");
  }

  void ReadLibraries(TVexaInterfaceList<IVexaModule>& Modules) {
    AddListedModules(TModuleKind::System, Path("lib"), project_, Modules);
    AddListedModules(TModuleKind::Common, Path("user") + "/", project_, Modules);
  }

  TTempSettings settings_;
  TScopedFakeDialogs dialogs_;
  QTemporaryDir dir_;
  Ref<NiceMock<MockVexaProject>> project_;
};

TEST(ProjectFileNames, ModuleNamesAndSkippedLines) {
  const std::pair<const char*, const char*> names[] = {
      {"Robot.V2", "robot"},      {"/a/B/Motor_2.V2", "motor_2"}, {"C:\\Vexa\\LCD.v2", "lcd"},
      {"notes.txt", "notes.txt"}, {"demo.v2p", "demo.v2p"},       {"x.v2.v2", "x.v2"},
      {"/dir.v2/plain", "plain"},
  };
  for (const auto& [file, name] : names) EXPECT_EQ(ModuleNameOf(file), name) << file;

  for (const char* line : {"", "x", "//", "// comment", "//a.v2"})
    EXPECT_TRUE(IsSkippedLine(line)) << line;
  for (const char* line : {"ab", " //", "a.v2", "/x"}) EXPECT_FALSE(IsSkippedLine(line)) << line;

  EXPECT_EQ(StateFileName("/p/robot.v2p"), "/p/robot.v2p.ide");
  EXPECT_EQ(StateFileName("test.bas"), "test.bas.ide");
}

TEST_F(ProjectFilesTest, TextLinesReadAnyLineEndAndWriteCrLfInWindows1252) {
  Write("mixed.txt", "one\r\ntwo\nthree\rf\xe4nf\r\n");
  EXPECT_EQ(ReadTextLines(Path("mixed.txt")),
            QStringList({"one", "two", "three", QString::fromUtf8("fänf")}));
  Write("empty.txt", "");
  EXPECT_EQ(ReadTextLines(Path("empty.txt")), QStringList());
  EXPECT_EQ(ReadTextLines(Path("missing.txt")), std::nullopt);
  EXPECT_EQ(ReadTextLines(dir_.path()), std::nullopt);

  ASSERT_TRUE(WriteTextLines(Path("out.txt"), {"a", QString::fromUtf8("ä"), ""}));
  EXPECT_EQ(Read(Path("out.txt")), QByteArray("a\r\n\xe4\r\n\r\n"));
  // Replaced whole.
  ASSERT_TRUE(WriteTextLines(Path("out.txt"), {"b"}));
  EXPECT_EQ(Read(Path("out.txt")), QByteArray("b\r\n"));
  EXPECT_FALSE(WriteTextLines(Path("no/such/folder/out.txt"), {"b"}));
}

TEST_F(ProjectFilesTest, ResolveFileNameTakesOnlyASingleCaseInsensitiveMatch) {
  Write("Exact.v2", "");
  Write("robot.v2", "");
  Write("twin.v2", "");
  Write("TWIN.v2", "");
  EXPECT_EQ(ResolveFileName(Path("Exact.v2")), Path("Exact.v2"));
  EXPECT_EQ(ResolveFileName(Path("Robot.V2")), Path("robot.v2"));
  EXPECT_EQ(ResolveFileName(Path("Twin.v2")), QString());
  EXPECT_EQ(ResolveFileName(Path("twin.v2")), Path("twin.v2"));
  EXPECT_EQ(ResolveFileName(Path("none.v2")), QString());
  EXPECT_EQ(ResolveFileName(Path("nofolder/robot.v2")), QString());
  EXPECT_EQ(ResolveFileName(QString()), QString());
}

TEST_F(ProjectFilesTest, ModuleListsGiveModulesInOrderWithUsedFlags) {
  MakeLibraries();
  TVexaInterfaceList<IVexaModule> modules;
  ReadLibraries(modules);
  EXPECT_EQ(Summary(modules), QStringList({"1:lcd!", "1:motor", "1:gps", "2:util"}));
  EXPECT_EQ(modules.Get(2)->GetFileName(), Path("lib/sub/gps.v2"));
  EXPECT_EQ(modules.Get(0)->GetProject(), project_);
  EXPECT_TRUE(Errors().isEmpty());

  // The records the modules were made from.
  const std::vector<TModuleRecord> system = ReadModuleList(TModuleKind::System, Path("lib"), {});
  EXPECT_EQ(Summary(system), QStringList({"1:lcd!", "1:motor", "1:gps"}));
  ASSERT_EQ(system.size(), 3u);
  EXPECT_EQ(system[0].FileName, Path("lib/lcd.v2"));
  EXPECT_EQ(system[2].FileName, Path("lib/sub/gps.v2"));
  EXPECT_EQ(system[2].Kind, TModuleKind::System);
  EXPECT_EQ(Summary(ReadModuleList(TModuleKind::Common, Path("user"), {"lcd", "motor"})),
            QStringList("2:util"));
  EXPECT_TRUE(Errors().isEmpty());
}

// The lists shipped beside the program, where the default settings look.
TEST_F(ProjectFilesTest, ShippedModuleListsReadWithoutErrorWithDefaultSettings) {
  ASSERT_EQ(QDir(ProgramDirectory()).canonicalPath(), QDir(VEXAIDE_PROGRAM_DIR).canonicalPath());
  options::ReadOptions();
  TVexaInterfaceList<IVexaModule> modules;
  AddListedModules(TModuleKind::System, options::SystemModulesPath, project_, modules);
  AddListedModules(TModuleKind::Common, options::UserCommonModulesPath, project_, modules);
  EXPECT_TRUE(QFileInfo::exists(options::SystemModulesPath + "/modules.txt"));
  EXPECT_TRUE(QFileInfo::exists(options::UserCommonModulesPath + "/modules.txt"));
  EXPECT_TRUE(Errors().isEmpty()) << Errors().join("\n").toStdString();
}

TEST_F(ProjectFilesTest, ModuleListErrorsAreReportedAndReadingGoesOn) {
  Write("lib/lcd.v2", "");
  Write("lib/modules.txt", "x\nmissing.v2\nlcd.v2!\n");
  Write("user/lcd.v2", "");
  Write("user/clock.v2", "");
  Write("user/modules.txt", "lcd.v2\nclock.v2!\n");
  TVexaInterfaceList<IVexaModule> modules;
  ReadLibraries(modules);
  AddListedModules(TModuleKind::Common, Path("nothing"), project_, modules);
  EXPECT_EQ(Summary(modules), QStringList({"1:lcd!", "2:clock!"}));
  EXPECT_EQ(Errors(),
            QStringList({
                QString::fromUtf8("Die gemeinsam benutzte Moduldatei \"%1\" existiert nicht!")
                    .arg(Path("lib/missing.v2")),
                QString::fromUtf8("Die Datei gemeinsam benutzter Module \"%1\" enthält das Modul "
                                  "\"%2\" mehr als einmal!")
                    .arg(Path("user/modules.txt"), Path("user/lcd.v2")),
                QString::fromUtf8("Die Datei gemeinsam benutzter Module \"%1\" existiert nicht!")
                    .arg(Path("nothing/modules.txt")),
            }));
}

TEST_F(ProjectFilesTest, UnreadableModuleListIsReportedWithNoModules) {
  Write("lib/lcd.v2", "");
  const QString list = Path("lib/modules.txt");
  // A file that opens but cannot be read, whoever runs the test.
  ASSERT_TRUE(QFile::link("/proc/self/mem", list));
  if (QFile file(list); !file.open(QIODevice::ReadOnly) || !file.readAll().isEmpty() ||
                        file.error() == QFileDevice::NoError)
    GTEST_SKIP() << "no unreadable file here";
  TVexaInterfaceList<IVexaModule> modules;
  AddListedModules(TModuleKind::System, Path("lib"), project_, modules);
  EXPECT_EQ(modules.Count(), 0);
  EXPECT_EQ(Errors(),
            QStringList(
                QString::fromUtf8("Fehler beim Lesen der Datei gemeinsam benutzter Module \"%1\"!")
                    .arg(list)));

  dialogs_->calls.clear();
  const QString project = Path("lib/demo.v2p");
  ASSERT_TRUE(QFile::link("/proc/self/mem", project));
  EXPECT_TRUE(ReadV2ProjectFile(project, {}).Modules.empty());
  EXPECT_EQ(
      Errors(),
      QStringList(QString::fromUtf8("Fehler beim Lesen der Projektdatei \"%1\"!").arg(project)));
}

TEST_F(ProjectFilesTest, ProjectFileMarksLibraryModulesAndAddsProjectModules) {
  MakeLibraries();
  Write("prj/robot.v2", "");
  Write("prj/Main.v2", "");
  Write("prj/sub/Other.v2", "");
  Write("elsewhere/far.v2", "");
  const QString project = Write("prj/demo.v2p",
                                "// project\r\n"
                                "system::Motor.V2\r\n"
                                "COMMON::C:\\Vexa\\UserLib\\Util.v2\r\n"
                                "\r\n"
                                "Robot.V2\r\n"
                                "Main.v2\r\n"
                                "sub\\Other.v2\r\n" +
                                    Path("elsewhere/far.v2").toUtf8() + "\n");
  TVexaInterfaceList<IVexaModule> modules;
  ReadLibraries(modules);
  ApplyV2ProjectFile(project, project_, modules);
  EXPECT_TRUE(Errors().isEmpty()) << Errors().join("\n").toStdString();
  // lcd is used in a new project only: the project file does not name it.
  EXPECT_EQ(Summary(modules), QStringList({"1:lcd", "1:motor!", "1:gps", "2:util!", "0:robot!",
                                           "0:main!", "0:other!", "0:far!"}));
  // The path keeps its case; a name written on Windows finds its file.
  EXPECT_EQ(modules.Get(4)->GetFileName(), Path("prj/robot.v2"));
  EXPECT_EQ(modules.Get(5)->GetFileName(), Path("prj/Main.v2"));
  EXPECT_EQ(modules.Get(6)->GetFileName(), Path("prj/sub/Other.v2"));
  EXPECT_EQ(modules.Get(7)->GetFileName(), Path("elsewhere/far.v2"));

  // The records behind it: the known modules it uses and its own, in order.
  const TV2ProjectFileRecords records = ReadV2ProjectFile(project, {"lcd", "motor", "gps", "util"});
  EXPECT_EQ(records.UsedNames, QStringList({"motor", "util"}));
  EXPECT_EQ(Summary(records.Modules), QStringList({"0:robot!", "0:main!", "0:other!", "0:far!"}));
  ASSERT_EQ(records.Modules.size(), 4u);
  EXPECT_EQ(records.Modules[0].FileName, Path("prj/robot.v2"));
  EXPECT_EQ(records.Modules[3].FileName, Path("elsewhere/far.v2"));
  EXPECT_TRUE(Errors().isEmpty());
}

// Names count as taken whether they were known before or read earlier in the
// same file; a library line naming a module the file added is no error.
TEST_F(ProjectFilesTest, NamesReadEarlierInTheSameFileCount) {
  Write("lib/lcd.v2", "");
  Write("lib/Clock.v2", "");
  Write("lib/modules.txt", "lcd.v2\nclock.v2!\nLCD.v2\n");
  EXPECT_EQ(Summary(ReadModuleList(TModuleKind::System, Path("lib"), {"clock"})),
            QStringList("1:lcd"));
  EXPECT_EQ(Errors(), QStringList({
                          QString::fromUtf8("Die Datei gemeinsam benutzter Module \"%1\" enthält "
                                            "das Modul \"%2\" mehr als einmal!")
                              .arg(Path("lib/modules.txt"), Path("lib/Clock.v2")),
                          QString::fromUtf8("Die Datei gemeinsam benutzter Module \"%1\" enthält "
                                            "das Modul \"%2\" mehr als einmal!")
                              .arg(Path("lib/modules.txt"), Path("lib/lcd.v2")),
                      }));

  dialogs_->calls.clear();
  Write("prj/robot.v2", "");
  const QString project =
      Write("prj/demo.v2p", "robot.v2\nSYSTEM::robot.v2\nrobot.v2\nCOMMON::lcd.v2\n");
  const TV2ProjectFileRecords records = ReadV2ProjectFile(project, {"lcd"});
  EXPECT_EQ(records.UsedNames, QStringList("lcd"));
  EXPECT_EQ(Summary(records.Modules), QStringList("0:robot!"));
  EXPECT_EQ(Errors(),
            QStringList(QString::fromUtf8("Das Projekt enthält bereits ein Modul \"robot\"!")));

  // Through the module list: the library line leaves the project module used.
  dialogs_->calls.clear();
  TVexaInterfaceList<IVexaModule> modules;
  modules.Add(TVexaV2Module::Create(project_, true, TModuleKind::Common, Path("lib/lcd.v2")));
  ApplyV2ProjectFile(project, project_, modules);
  EXPECT_EQ(Summary(modules), QStringList({"2:lcd!", "0:robot!"}));
  EXPECT_EQ(Errors().size(), 1);
}

TEST_F(ProjectFilesTest, ProjectFileErrorsLeaveTheLineOut) {
  MakeLibraries();
  Write("prj/robot.v2", "");
  Write("prj/lcd.v2", "");
  Write("prj/twin.v2", "");
  Write("prj/TWIN.v2", "");
  const QString project =
      Write("prj/demo.v2p", "SYSTEM::gone.v2\nrobot.v2\nROBOT.v2\nlcd.v2\nnothere.v2\nTwin.v2\n");
  TVexaInterfaceList<IVexaModule> modules;
  ReadLibraries(modules);
  ApplyV2ProjectFile(project, project_, modules);
  EXPECT_EQ(Summary(modules), QStringList({"1:lcd", "1:motor", "1:gps", "2:util", "0:robot!"}));
  EXPECT_EQ(Errors(), QStringList({
                          QString::fromUtf8("Das Projekt verweist auf das nicht existierende "
                                            "gemeinsam benutzte Modul \"gone.v2\"!"),
                          QString::fromUtf8("Das Projekt enthält bereits ein Modul \"robot\"!"),
                          QString::fromUtf8("Das Projekt enthält bereits ein Modul \"lcd\"!"),
                          QString::fromUtf8("Das Projekt verweist auf das nicht existierende "
                                            "Modul \"%1\"!")
                              .arg(Path("prj/nothere.v2")),
                          QString::fromUtf8("Das Projekt verweist auf das nicht existierende "
                                            "Modul \"%1\"!")
                              .arg(Path("prj/Twin.v2")),
                      }));
}

TEST_F(ProjectFilesTest, MissingProjectFileIsReportedAndLeavesEveryModuleUnused) {
  MakeLibraries();
  TVexaInterfaceList<IVexaModule> modules;
  ReadLibraries(modules);
  ApplyV2ProjectFile(Path("prj/none.v2p"), project_, modules);
  EXPECT_EQ(Summary(modules), QStringList({"1:lcd", "1:motor", "1:gps", "2:util"}));
  EXPECT_EQ(Errors(), QStringList(QString::fromUtf8("Fehler beim Lesen der Projektdatei \"%1\"!")
                                      .arg(Path("prj/none.v2p"))));
}

TEST_F(ProjectFilesTest, ProjectFileWritesUsedModulesOnlyAndReadsBackTheSame) {
  MakeLibraries();
  Write("prj/robot.v2", "");
  Write("elsewhere/far.v2", "");
  TVexaInterfaceList<IVexaModule> modules;
  ReadLibraries(modules);
  modules.Get(1)->SetUsed(true);   // motor
  modules.Get(3)->SetUsed(true);   // util
  modules.Get(0)->SetUsed(false);  // lcd: unused, stays in the list, not written
  modules.Add(TVexaV2Module::Create(project_, true, TModuleKind::Project, Path("prj/robot.v2")));
  modules.Add(
      TVexaV2Module::Create(project_, true, TModuleKind::Project, Path("elsewhere/far.v2")));
  const QString project = Path("prj/demo.v2p");
  ASSERT_TRUE(WriteV2ProjectFile(project, modules));
  EXPECT_EQ(Read(project), "SYSTEM::motor.v2\r\nCOMMON::util.v2\r\nrobot.v2\r\n" +
                               Path("elsewhere/far.v2").toUtf8() + "\r\n");

  TVexaInterfaceList<IVexaModule> again;
  ReadLibraries(again);
  ApplyV2ProjectFile(project, project_, again);
  EXPECT_EQ(Summary(again), Summary(modules));
  EXPECT_EQ(again.Get(4)->GetFileName(), Path("prj/robot.v2"));
  EXPECT_TRUE(Errors().isEmpty());
}

TEST_F(ProjectFilesTest, FailedProjectFileWriteIsReportedAndKeepsNoFile) {
  TVexaInterfaceList<IVexaModule> modules;
  modules.Add(TVexaV2Module::Create(project_, true, TModuleKind::Project, Path("a.v2")));
  const QString project = Path("missing/demo.v2p");
  EXPECT_FALSE(WriteV2ProjectFile(project, modules));
  EXPECT_FALSE(QFile::exists(project));
  EXPECT_EQ(Errors(),
            QStringList(
                QString::fromUtf8("Fehler beim Schreiben der Projektdatei \"%1\"!").arg(project)));
}

// The state file of a V2 project with breakpoints in main (3, 10) and lcd (1)
// and the watches main.x (hexadecimal) and count (decimal), byte by byte.
const QByteArray kV2State(
    "\x01"              // breakpoints
    "\x04\x00\x00\x00"  // name length 4
    "main"              //
    "\x02\x00\x00\x00"  // 2 lines
    "\x03\x00\x00\x00"  // 3
    "\x0a\x00\x00\x00"  // 10
    "\x01"              // breakpoints
    "\x03\x00\x00\x00"  // name length 3
    "lcd"               //
    "\x01\x00\x00\x00"  // 1 line
    "\x01\x00\x00\x00"  // 1
    "\x02"              // watches
    "\x02\x00\x00\x00"  // 2 watches
    "\x06\x00\x00\x00"  // name length 6
    "main.x"            //
    "\x01\x00\x00\x00"  // hexadecimal
    "\x05\x00\x00\x00"  // name length 5
    "count"             //
    "\x00\x00\x00\x00"  // decimal
    "\x00",             // end
    1 + 4 + 4 + 4 + 8 + 1 + 4 + 3 + 4 + 4 + 1 + 4 + 4 + 6 + 4 + 4 + 5 + 4 + 1);

// A VXBasic project: breakpoints 2 and 300, the watch A in binary.
const QByteArray kBasicState(
    "\x01"
    "\x02\x00\x00\x00"
    "\x02\x00\x00\x00"
    "\x2c\x01\x00\x00"
    "\x02"
    "\x01\x00\x00\x00"
    "\x01\x00\x00\x00"
    "A"
    "\x02\x00\x00\x00"
    "\x00",
    1 + 4 + 8 + 1 + 4 + 4 + 1 + 4 + 1);

// What reading a state file did, in order.
struct TStateLog {
  QStringList calls;
  std::map<QString, Ref<IVexaWatch>> watches;

  void Read(const QString& ProjectFile, bool SingleModule) {
    ReadStateFile(
        ProjectFile, SingleModule,
        [this](const QString& Module, int Line) {
          calls << QString("toggle %1 %2").arg(Module).arg(Line);
        },
        [this](const QString& Name) {
          calls << "watch " + Name;
          Ref<IVexaWatch>& watch = watches[Name];
          if (!watch) watch = std::make_shared<TVexaV2Watch>(Name);
          return watch;
        });
  }
};

TEST_F(ProjectFilesTest, StateFileBytesAreExactlyTheLayout) {
  TProjectState v2;
  v2.Breakpoints = {{"main", {3, 10}}, {"empty", {}}, {"lcd", {1}}};
  v2.Watches = {{"main.x", TWatchFormat::Hex}, {"count", TWatchFormat::Decimal}};
  EXPECT_EQ(StateFileBytes(false, v2), kV2State);

  TProjectState basic;
  basic.Breakpoints = {{"", {2, 300}}};
  basic.Watches = {{"A", TWatchFormat::Binary}};
  EXPECT_EQ(StateFileBytes(true, basic), kBasicState);

  EXPECT_EQ(StateFileBytes(false, {}), QByteArray(1, '\0'));
  EXPECT_EQ(StateFileBytes(true, {}), QByteArray(1, '\0'));

  const QString project = Path("robot.v2p");
  WriteStateFile(project, false, v2);
  EXPECT_EQ(Read(Path("robot.v2p.ide")), kV2State);
  WriteStateFile(project, false, {});
  EXPECT_EQ(Read(Path("robot.v2p.ide")), QByteArray(1, '\0'));
}

TEST_F(ProjectFilesTest, StateFileRoundTripFromRealModulesAndWatches) {
  Write("prj/main.v2", "");
  Write("prj/lcd.v2", "");
  TVexaInterfaceList<IVexaModule> modules;
  auto lcd = TVexaV2Module::Create(project_, true, TModuleKind::System, Path("prj/lcd.v2"));
  auto none = TVexaV2Module::Create(project_, true, TModuleKind::Project, Path("prj/none.v2"));
  auto main = TVexaV2Module::Create(project_, true, TModuleKind::Project, Path("prj/main.v2"));
  modules.Add(main);
  modules.Add(none);
  modules.Add(lcd);
  main->ToggleBreakpoint(10);
  main->ToggleBreakpoint(3);
  lcd->ToggleBreakpoint(1);
  TVexaInterfaceList<IVexaWatch> watches;
  auto x = std::make_shared<TVexaV2Watch>("main.x");
  x->SetFormat(TWatchFormat::Hex);
  watches.Add(x);
  watches.Add(std::make_shared<TVexaV2Watch>("count"));

  const QString project = Path("prj/demo.v2p");
  WriteStateFile(project, false, CollectProjectState(modules, watches));
  EXPECT_EQ(Read(StateFileName(project)), kV2State);

  TStateLog log;
  log.Read(project, false);
  EXPECT_EQ(log.calls, QStringList({"toggle main 3", "toggle main 10", "toggle lcd 1",
                                    "watch main.x", "watch count"}));
  EXPECT_EQ(log.watches["main.x"]->GetFormat(), TWatchFormat::Hex);
  EXPECT_EQ(log.watches["count"]->GetFormat(), TWatchFormat::Decimal);

  Write("b/test.bas.ide", kBasicState);
  TStateLog basic;
  basic.Read(Path("b/test.bas"), true);
  EXPECT_EQ(basic.calls, QStringList({"toggle  2", "toggle  300", "watch A"}));
  EXPECT_EQ(basic.watches["A"]->GetFormat(), TWatchFormat::Binary);
}

TEST_F(ProjectFilesTest, StateFileAbsentOrUntitledReadsNothing) {
  TStateLog log;
  log.Read(Path("none.v2p"), false);
  log.Read(QString(), false);
  EXPECT_TRUE(log.calls.isEmpty());
  WriteStateFile(QString(), false, {{{"main", {1}}}, {}});
  EXPECT_TRUE(QDir(dir_.path()).entryList(QDir::Files).isEmpty());
  EXPECT_TRUE(Errors().isEmpty());
}

TEST_F(ProjectFilesTest, DoubledBreakpointLineIsToggledOff) {
  Write("p.v2p.ide", QByteArray("\x01\x04\x00\x00\x00main\x03\x00\x00\x00"
                                "\x05\x00\x00\x00\x07\x00\x00\x00\x05\x00\x00\x00\x00",
                                1 + 4 + 4 + 4 + 12 + 1));
  TVexaLineNumberList lines;
  ReadStateFile(
      Path("p.v2p"), false, [&](const QString&, int Line) { lines.Toggle(Line); },
      [](const QString&) { return Ref<IVexaWatch>(); });
  EXPECT_EQ(lines.Count(), 1);
  EXPECT_EQ(lines.Get(0), 7);
}

TEST_F(ProjectFilesTest, TruncatedStateFileKeepsWhatWasReadBeforeTheCut) {
  TStateLog full;
  Write("full.v2p.ide", kV2State);
  full.Read(Path("full.v2p"), false);
  ASSERT_EQ(full.calls.size(), 5);
  // Every cut gives a prefix of the full reading, and the reading reaches the
  // last record whole only when nothing of it is missing.
  for (int cut = 0; cut < kV2State.size(); ++cut) {
    Write("cut.v2p.ide", kV2State.left(cut));
    TStateLog log;
    log.Read(Path("cut.v2p"), false);
    ASSERT_LE(log.calls.size(), full.calls.size()) << cut;
    EXPECT_EQ(log.calls, full.calls.mid(0, log.calls.size())) << cut;
  }
  // Cut inside the lcd record: main's breakpoints stay.
  Write("cut.v2p.ide", kV2State.left(1 + 4 + 4 + 4 + 8 + 1 + 4 + 2));
  TStateLog log;
  log.Read(Path("cut.v2p"), false);
  EXPECT_EQ(log.calls, QStringList({"toggle main 3", "toggle main 10"}));
  // Cut in the second watch's format: the first watch keeps its format.
  Write("cut.v2p.ide", kV2State.left(kV2State.size() - 3));
  TStateLog watches;
  watches.Read(Path("cut.v2p"), false);
  EXPECT_EQ(watches.calls, full.calls);
  EXPECT_EQ(watches.watches["main.x"]->GetFormat(), TWatchFormat::Hex);
}

TEST_F(ProjectFilesTest, OversizedLengthsAndCountsStopReadingQuietly) {
  const QByteArray good("\x01\x01\x00\x00\x00m\x01\x00\x00\x00\x02\x00\x00\x00", 14);
  const QByteArray tails[] = {
      QByteArray("\x01\xff\xff\xff\x7f", 5) + "x",                              // name length
      QByteArray("\x01\x01\x00\x00\x00n\xff\xff\xff\x7f\x01\x00\x00\x00", 14),  // line count
      QByteArray("\x01\x01\x00\x00\x00n\xfe\xff\xff\xff", 10),                  // negative count
      QByteArray("\x02\xff\xff\xff\x7f\x01\x00\x00\x00y", 10),                  // watch count
      QByteArray("\x02\x01\x00\x00\x00\xff\xff\xff\x7f", 9),                    // watch name length
      QByteArray("\x01\x01\x10\x00\x00", 5) + QByteArray(0x1001, 'z'),          // name beyond bound
      QByteArray("\x07\x01\x00\x00\x00n\x01\x00\x00\x00\x05\x00\x00\x00", 14),  // unknown tag
  };
  for (const QByteArray& tail : tails) {
    Write("big.v2p.ide", good + tail + good);
    TStateLog log;
    log.Read(Path("big.v2p"), false);
    EXPECT_EQ(log.calls, QStringList("toggle m 2")) << tail.toHex().toStdString();
  }
}

TEST_F(ProjectFilesTest, EmptyNamesAndBadFormatsAreSkipped) {
  // A breakpoint record with name length 0 reads nothing more; a watch entry
  // with length 0 neither; a format of 3 is not applied.
  Write("s.v2p.ide", QByteArray("\x01\x00\x00\x00\x00"
                                "\x02\x03\x00\x00\x00"
                                "\x00\x00\x00\x00"
                                "\x01\x00\x00\x00q\x03\x00\x00\x00"
                                "\x01\x00\x00\x00r\x02\x00\x00\x00"
                                "\x01\x01\x00\x00\x00m\x01\x00\x00\x00\x04\x00\x00\x00\x00",
                                5 + 5 + 4 + 9 + 9 + 15));
  TStateLog log;
  log.Read(Path("s.v2p"), false);
  EXPECT_EQ(log.calls, QStringList({"watch q", "watch r", "toggle m 4"}));
  EXPECT_EQ(log.watches["q"]->GetFormat(), TWatchFormat::Decimal);
  EXPECT_EQ(log.watches["r"]->GetFormat(), TWatchFormat::Binary);
}

TEST_F(ProjectFilesTest, NamesStartingWithBomBytesKeepThem) {
  // A module and a watch named by EF BB BF alone, then a record that follows.
  const QByteArray breakpoints("\x01\x03\x00\x00\x00\xef\xbb\xbf\x01\x00\x00\x00\x05\x00\x00\x00",
                               16);
  const QByteArray watches("\x02\x01\x00\x00\x00\x03\x00\x00\x00\xef\xbb\xbf\x01\x00\x00\x00", 16);
  const QByteArray after("\x01\x01\x00\x00\x00m\x01\x00\x00\x00\x04\x00\x00\x00\x00", 15);
  const QString bom(QChar(0xFEFF));

  // The writer gives these bytes for such names, so they read back as written.
  TProjectState state;
  state.Breakpoints = {{bom, {5}}};
  state.Watches = {{bom, TWatchFormat::Hex}};
  EXPECT_EQ(StateFileBytes(false, state), breakpoints + watches + QByteArray(1, '\0'));

  Write("b.v2p.ide", breakpoints + watches + after);
  TStateLog log;
  log.Read(Path("b.v2p"), false);
  EXPECT_EQ(log.calls, QStringList({"toggle " + bom + " 5", "watch " + bom, "toggle m 4"}));
  ASSERT_TRUE(log.watches[bom]);
  EXPECT_EQ(log.watches[bom]->GetFormat(), TWatchFormat::Hex);

  // A longer name and the VXBasic layout keep the bytes too.
  Write("c.bas.ide", QByteArray("\x02\x01\x00\x00\x00\x04\x00\x00\x00\xef\xbb\xbf"
                                "x\x02\x00\x00\x00\x01\x01\x00\x00\x00\x04\x00\x00\x00\x00",
                                5 + 4 + 4 + 4 + 1 + 8 + 1));
  TStateLog basic;
  basic.Read(Path("c.bas"), true);
  EXPECT_EQ(basic.calls, QStringList({"watch " + bom + "x", "toggle  4"}));
  ASSERT_TRUE(basic.watches[bom + "x"]);
  EXPECT_EQ(basic.watches[bom + "x"]->GetFormat(), TWatchFormat::Binary);
}

TEST_F(ProjectFilesTest, AFormatOutOfRangeLeavesTheWatchsFormatAsItWas) {
  // Formats -1, 3 and 0x7FFFFFFF for one watch already shown in hex, then 0.
  Write("f.v2p.ide", QByteArray("\x02\x04\x00\x00\x00"
                                "\x01\x00\x00\x00w\xff\xff\xff\xff"
                                "\x01\x00\x00\x00w\x03\x00\x00\x00"
                                "\x01\x00\x00\x00w\xff\xff\xff\x7f"
                                "\x01\x00\x00\x00v\x00\x00\x00\x00\x00",
                                5 + 4 * 9 + 1));
  auto w = std::make_shared<TVexaV2Watch>("w");
  auto v = std::make_shared<TVexaV2Watch>("v");
  w->SetFormat(TWatchFormat::Hex);
  v->SetFormat(TWatchFormat::Binary);
  std::vector<TWatchFormat> seen;
  ReadStateFile(
      Path("f.v2p"), false, [](const QString&, int) {},
      [&](const QString& Name) -> Ref<IVexaWatch> {
        seen.push_back(w->GetFormat());
        return Name == "w" ? w : v;
      });
  EXPECT_EQ(seen, std::vector<TWatchFormat>(4, TWatchFormat::Hex));
  EXPECT_EQ(w->GetFormat(), TWatchFormat::Hex);
  EXPECT_EQ(v->GetFormat(), TWatchFormat::Decimal);
}

}  // namespace
}  // namespace vexa::ide
