#pragma once

// The fixture of the V2 project's tests: a project folder with system and common
// modules, a stand-in compiler library and a main thread pumped by the test.

#include "model/projects/V2Project.h"

#include "CoreApp.h"
#include "FakeDialogs.h"
#include "MockIntfs.h"
#include "QStringPrinter.h"
#include "TempSettings.h"
#include "model/commands/CommandsModule.h"
#include "model/core/Helpers.h"
#include "model/core/Services.h"
#include "model/core/VexaIDECore.h"
#include "model/files/ProjectFiles.h"
#include "model/projects/V2Module.h"
#include "model/settings/Options.h"
#include "model/workers/MainThreadInvoker.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>

#include <chrono>
#include <cstring>
#include <map>
#include <mutex>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace vexa::ide::test::v2project {

using namespace std::chrono_literals;
using ::testing::_;
using ::testing::NiceMock;
using ::testing::Return;

inline QCoreApplication& App() { return test::CoreApp(); }

// The workers' calls into the main thread wait here until PumpUntil runs
// them (none of them goes through Qt's cross-thread event queue).
inline std::shared_ptr<TManualInvoker> g_invoker;

// Runs the main thread's events (timers) and the workers' calls until Done
// answers true or Timeout passes.
inline bool PumpUntil(const std::function<bool()>& Done, std::chrono::milliseconds Timeout = 10s) {
  QElapsedTimer timer;
  timer.start();
  while (!Done()) {
    if (timer.elapsed() > Timeout.count()) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    if (g_invoker) g_invoker->Pump();
    QThread::msleep(1);
  }
  return true;
}

inline QStringList Names(IVexaProject& Project) {
  QStringList names;
  for (int i = 0; i < Project.GetModuleCount(); ++i) names << Project.GetModule(i)->GetName();
  return names;
}

inline void PumpFor(std::chrono::milliseconds Duration) {
  PumpUntil([] { return false; }, Duration);
}

// A stand-in compiler library that records what the worker asks of it.
// Called on the worker thread; read by the test under the lock.
struct TFakeLibrary {
  std::mutex mutex;
  std::map<int, std::string> names;  // module number -> name
  std::vector<std::string> added;
  std::vector<std::string> compiled;
  std::map<std::string, std::string> sources;  // the last source of each module
  int removeAlls = 0;
  int beginBuilds = 0;
  int written = 0;
  int imageRequests = 0;
  std::vector<std::string> projectNames;
  int nextModule = 1;
  char* messages = nullptr;
  std::uint32_t messagesSize = 0;
  // getIdentDefPos's answer: module number and line; 0: not found.
  int defModule = 0;
  int defLine = 0;
  std::string fullName;      // getIdentFullName's answer; empty: not found
  bool failCompile = false;  // the next compileModule fails
  std::chrono::steady_clock::time_point firstCompile{};

  std::vector<std::string> Compiled() {
    std::lock_guard lock(mutex);
    return compiled;
  }
  int Count(int TFakeLibrary::*Field) {
    std::lock_guard lock(mutex);
    return this->*Field;
  }
};
inline TFakeLibrary* g_lib = nullptr;

inline TVx2CompFunctions FakeFunctions() {
  TVx2CompFunctions f;
  f.openProject = [](const char* Name) -> Vx2ProjectHandle {
    std::lock_guard lock(g_lib->mutex);
    g_lib->projectNames.push_back(Name);
    return 1;
  };
  f.closeProject = [](Vx2ProjectHandle) { return std::int32_t{1}; };
  f.isValidModuleName = [](const char*) { return std::int32_t{1}; };
  f.addModule = [](Vx2ProjectHandle, const char* Name, const char*, std::int32_t) {
    std::lock_guard lock(g_lib->mutex);
    g_lib->added.push_back(Name);
    g_lib->names[g_lib->nextModule] = Name;
    return g_lib->nextModule++;
  };
  f.replaceModuleSource = [](Vx2ProjectHandle, std::int32_t Module, const char* Source,
                             std::int32_t) {
    std::lock_guard lock(g_lib->mutex);
    g_lib->sources[g_lib->names[Module]] = Source;
    return std::int32_t{1};
  };
  f.removeAll = [](Vx2ProjectHandle) {
    std::lock_guard lock(g_lib->mutex);
    ++g_lib->removeAlls;
    g_lib->nextModule = 1;
    g_lib->names.clear();
    return std::int32_t{1};
  };
  f.removeModule = [](Vx2ProjectHandle, std::int32_t) { return std::int32_t{1}; };
  f.setMessageBuffer = [](Vx2ProjectHandle, char* Buffer, std::uint32_t Size) {
    std::lock_guard lock(g_lib->mutex);
    g_lib->messages = Buffer;
    g_lib->messagesSize = Size;
    return std::int32_t{1};
  };
  f.compileModule = [](Vx2ProjectHandle, std::int32_t Module) {
    std::lock_guard lock(g_lib->mutex);
    if (std::exchange(g_lib->failCompile, false)) return std::int32_t{0};
    if (g_lib->compiled.empty()) g_lib->firstCompile = std::chrono::steady_clock::now();
    const std::string name = g_lib->names[Module];
    g_lib->compiled.push_back(name);
    std::snprintf(g_lib->messages, g_lib->messagesSize, "%s : OK", name.c_str());
    return std::int32_t{-1};  // no message counted
  };
  f.beginBuild = [](Vx2ProjectHandle) {
    std::lock_guard lock(g_lib->mutex);
    ++g_lib->beginBuilds;
    return std::int32_t{1};
  };
  f.finishBuild = [](Vx2ProjectHandle) {
    std::lock_guard lock(g_lib->mutex);
    if (g_lib->messagesSize) g_lib->messages[0] = 0;
    return std::int32_t{1};
  };
  f.getModuleLineInfos = [](Vx2ProjectHandle, std::int32_t, std::uint8_t* Buffer,
                            std::uint32_t Length) {
    for (std::uint32_t i = 0; i < Length; ++i) Buffer[i] = 1;
    return std::int32_t{1};
  };
  f.getIdentDefPos = [](Vx2ProjectHandle, const char*, std::int32_t* Module, std::int32_t* Line) {
    std::lock_guard lock(g_lib->mutex);
    if (!g_lib->defModule) return std::int32_t{0};
    *Module = g_lib->defModule;
    *Line = g_lib->defLine;
    return std::int32_t{1};
  };
  f.getIdentCompletions = [](Vx2ProjectHandle, const char*, std::int32_t, std::int32_t,
                             char* Buffer, std::uint32_t Size) {
    std::snprintf(Buffer, Size, "speed (variable)\r\nclamp (function)");
    return std::int32_t{1};
  };
  f.getIdentFullName = [](Vx2ProjectHandle, const char*, std::int32_t, std::int32_t, char* Buffer,
                          std::uint32_t Size) {
    std::lock_guard lock(g_lib->mutex);
    if (g_lib->fullName.empty()) return std::int32_t{0};
    std::snprintf(Buffer, Size, "%s", g_lib->fullName.c_str());
    return std::int32_t{1};
  };
  f.writeOutputFile = [](Vx2ProjectHandle, const char*) {
    std::lock_guard lock(g_lib->mutex);
    ++g_lib->written;
    return std::int32_t{1};
  };
  f.getRequiredVMCBufferSize = [](Vx2ProjectHandle) {
    std::lock_guard lock(g_lib->mutex);
    ++g_lib->imageRequests;
    return std::uint32_t{0};
  };
  f.fillVMCBuffer = [](Vx2ProjectHandle, std::uint8_t*) {
    std::lock_guard lock(g_lib->mutex);
    ++g_lib->imageRequests;
    return std::int32_t{0};
  };
  return f;
}

// A simulation that only answers whose it is and whether it may close.
class TFakeSimulator : public NiceMock<test::MockVexaSimulator> {
 public:
  TFakeSimulator(Ref<IVexaProject> Project, bool MayClose) {
    ON_CALL(*this, GetProject()).WillByDefault(Return(Project));
    ON_CALL(*this, CanClose()).WillByDefault(Return(MayClose));
  }
};

class V2ProjectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    ASSERT_TRUE(dir_.isValid());
    g_lib = &lib_;
    qputenv("XDG_DATA_HOME", dir_.filePath("data").toLocal8Bit());
    saved_ = {options::SystemModulesPath,
              options::UserCommonModulesPath,
              options::DefaultProjectPath,
              options::BackgroundCompilationV2,
              options::BackgroundCompilationDelayV2,
              options::DownloadComV2};
    options::SystemModulesPath = Path("Lib");
    options::UserCommonModulesPath = Path("UserLib");
    options::DefaultProjectPath = Path("");
    options::BackgroundCompilationV2 = true;
    options::BackgroundCompilationDelayV2 = 200;
    options::DownloadComV2 = 1;
    QDir(dir_.path()).mkpath("Lib");
    QDir(dir_.path()).mkpath("UserLib");
    Write("Lib/modules.txt", "// system modules\r\nlcd.v2!\r\nservo.v2\r\n");
    Write("Lib/lcd.v2", "int lcdx;\n");
    Write("Lib/servo.v2", "int servox;\n");
    Write("UserLib/modules.txt", "tools.v2\r\n");
    Write("UserLib/tools.v2", "int toolx;\n");
    seams_.Compiler.Functions = FakeFunctions();
    g_invoker = std::make_shared<TManualInvoker>();
    seams_.Compiler.Invoker = g_invoker;
  }

  void TearDown() override {
    for (const Ref<TVexaV2Project>& project : projects_) project->Close();
    projects_.clear();
    CurrentSimulator.reset();
    V2SimulationFactory.reset();
    VexaIDE.reset();
    MessageView.reset();
    ProjectEditor.reset();
    WatchesView.reset();
    g_lib = nullptr;
    g_invoker.reset();
    options::SystemModulesPath = saved_.system;
    options::UserCommonModulesPath = saved_.common;
    options::DefaultProjectPath = saved_.defaultPath;
    options::BackgroundCompilationV2 = saved_.background;
    options::BackgroundCompilationDelayV2 = saved_.delay;
    options::DownloadComV2 = saved_.port;
  }

  QString Path(const QString& Name) const { return dir_.filePath(Name); }

  void Write(const QString& Name, const QByteArray& Text) {
    QFile file(Path(Name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(Text);
  }

  // A project file of the project modules Names (files "<name>.v2" made).
  QString MakeProject(const QStringList& Names, const QByteArray& Extra = {},
                      const QString& FileName = QStringLiteral("robot.v2p")) {
    QByteArray text = Extra;
    for (const QString& name : Names) {
      Write(name + ".v2", "int " + name.toLatin1() + "x;\n");
      text += name.toLatin1() + ".v2\r\n";
    }
    Write(FileName, text);
    return Path(FileName);
  }

  Ref<TVexaV2Project> Open(const QString& FileName) {
    Ref<TVexaV2Project> project = TVexaV2Project::Create(FileName, seams_);
    projects_.push_back(project);
    return project;
  }

  // Opens and waits until the build of its creation is done.
  Ref<TVexaV2Project> OpenBuilt(const QString& FileName) {
    Ref<TVexaV2Project> project = Open(FileName);
    EXPECT_TRUE(PumpUntil([&] { return project->IsBuilt() && !project->IsCompiling(); }))
        << dialogs_->Texts().join(QLatin1Char(10)).toStdString();
    return project;
  }

  QTemporaryDir dir_;
  TFakeLibrary lib_;
  TV2ProjectSeams seams_;
  test::TScopedFakeDialogs dialogs_;
  std::vector<Ref<TVexaV2Project>> projects_;
  struct {
    QString system, common, defaultPath;
    bool background = false;
    int delay = 0, port = 0;
  } saved_;
};

}  // namespace vexa::ide::test::v2project
