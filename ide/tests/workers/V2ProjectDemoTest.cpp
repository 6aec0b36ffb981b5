// The demo V2 project built with the real compiler library.

#include "V2ProjectFixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace vexa::ide {
namespace {

using namespace test::v2project;

TEST(V2ProjectDemoTest, TheDemoProjectBuildsHeadless) {
  App();
  test::TScopedFakeDialogs dialogs;
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QDir source(QStringLiteral(VEXA_EXAMPLES_DIR "/demo"));
  for (const QString& name : source.entryList(QDir::Files))
    ASSERT_TRUE(QFile::copy(source.filePath(name), dir.filePath(name))) << name.toStdString();
  QDir(dir.path()).mkpath("Lib");
  QFile lib(dir.filePath("Lib/modules.txt"));
  ASSERT_TRUE(lib.open(QIODevice::WriteOnly));
  lib.write("// none\r\n");
  lib.close();
  const QString system = options::SystemModulesPath;
  const QString common = options::UserCommonModulesPath;
  options::SystemModulesPath = dir.filePath("Lib");
  options::UserCommonModulesPath = dir.filePath("Lib");

  g_invoker = std::make_shared<TManualInvoker>();
  TV2ProjectSeams seams;
  seams.Compiler.Invoker = g_invoker;
  auto project = TVexaV2Project::Create(dir.filePath("demo.v2p"), seams);
  EXPECT_EQ(Names(*project), (QStringList{"motor", "display", "main"}));
  EXPECT_TRUE(PumpUntil([&] { return project->IsBuilt() && !project->IsCompiling(); }, 30s));
  EXPECT_GT(QFileInfo(dir.filePath("demo.v2p.vmc")).size(), 0);
  for (int i = 0; i < project->GetModuleCount(); ++i) {
    EXPECT_FALSE(project->GetModule(i)->HasErrors()) << i;
    EXPECT_TRUE(project->GetModule(i)->HasLineInfos()) << i;
    EXPECT_GT(project->GetModule(i)->GetModuleNumber(), 0) << i;
  }
  EXPECT_TRUE(dialogs->calls.empty()) << dialogs->Texts().join('\n').toStdString();
  project->Close();
  g_invoker.reset();
  options::SystemModulesPath = system;
  options::UserCommonModulesPath = common;
}

}  // namespace
}  // namespace vexa::ide
