#pragma once

// The fixture of the V2 project's tests: a project folder with system and common
// modules, a stand-in compiler library and a main thread pumped by the test.

#include "model/projects/V2Project.h"

#include "CoreApp.h"
#include "FakeDialogs.h"
#include "FakeVx2Comp.h"
#include "MockIntfs.h"
#include "PumpUntil.h"
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
using test::TFakeVx2Comp;
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
  return test::PumpUntil(Done, Timeout, g_invoker.get());
}

inline QStringList Names(IVexaProject& Project) {
  QStringList names;
  for (int i = 0; i < Project.GetModuleCount(); ++i) names << Project.GetModule(i)->GetName();
  return names;
}

inline void PumpFor(std::chrono::milliseconds Duration) {
  PumpUntil([] { return false; }, Duration);
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
    seams_.Compiler.Functions = TFakeVx2Comp::Functions();
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
  TFakeVx2Comp lib_;
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
