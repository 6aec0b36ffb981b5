// The V2 project's build handed over to the simulation.

#include "V2ProjectFixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace vexa::ide {
namespace {

using namespace test::v2project;

class V2ProjectSimulationTest : public V2ProjectTest {
 protected:
  void SetUp() override {
    V2ProjectTest::SetUp();
    ide_ = std::make_shared<TVexaIDECore>();
    VexaIDE = ide_;
    V2SimulationFactory = test::SimulationFactoryOf(
        [this](const Ref<IV2SimulationProject>& Project, const QString& Base) {
          created_.emplace_back(Project, Base);
          if (failCreate_) throw std::runtime_error("Internal error: createMachine() failed");
          return Ref<IVexaSimulator>(std::make_shared<TFakeSimulator>(Project, mayClose_));
        });
  }
  void TearDown() override {
    for (int i = ide_->GetProjectCount() - 1; i >= 0; --i) ide_->RemoveProject(ide_->GetProject(i));
    V2ProjectTest::TearDown();
  }

  std::shared_ptr<TVexaIDECore> ide_;
  std::vector<std::pair<Ref<IV2SimulationProject>, QString>> created_;
  bool failCreate_ = false;
  bool mayClose_ = true;
};

TEST_F(V2ProjectSimulationTest, TheActiveProjectsBuildBecomesTheSimulation) {
  const QString fileName = MakeProject({"m1"});
  auto project = OpenBuilt(fileName);
  EXPECT_EQ(ide_->GetActiveProject(), Ref<IVexaProject>(project));
  ASSERT_TRUE(PumpUntil([&] { return CurrentSimulator != nullptr; }));
  ASSERT_EQ(created_.size(), 1u);
  EXPECT_EQ(created_[0].first, Ref<IV2SimulationProject>(project));
  EXPECT_EQ(created_[0].second, fileName);
  // Created once: the new project was built by its activation alone.
  EXPECT_EQ(lib_.Count(&TFakeVx2Comp::beginBuilds), 1);

  // A text change drops the simulation of its project.
  project->GetModule(3)->TextChanged();
  EXPECT_EQ(CurrentSimulator, nullptr);
  EXPECT_FALSE(project->IsBuilt());
}

TEST_F(V2ProjectSimulationTest, ABuildFinishingAfterItsProjectWasLeftPublishesNothing) {
  auto a = Open(MakeProject({"m1"}));
  ASSERT_EQ(ide_->GetActiveProject(), Ref<IVexaProject>(a));
  // B becomes active before A's build has ended (no event has run yet).
  Write("other.v2p", "m1.v2\r\n");
  auto b = Open(Path("other.v2p"));
  ASSERT_EQ(ide_->GetActiveProject(), Ref<IVexaProject>(b));
  ASSERT_TRUE(PumpUntil(
      [&] { return a->IsBuilt() && b->IsBuilt() && !a->IsCompiling() && !b->IsCompiling(); }));
  ASSERT_NE(CurrentSimulator, nullptr);
  EXPECT_EQ(CurrentSimulator->GetProject(), Ref<IVexaProject>(b));
  ASSERT_EQ(created_.size(), 1u);
  EXPECT_EQ(created_[0].first, Ref<IV2SimulationProject>(b));
}

TEST_F(V2ProjectSimulationTest, AProjectThatDidNotBecomeActiveBuildsItself) {
  auto stubborn = std::make_shared<NiceMock<test::MockVexaProject>>();
  ON_CALL(*stubborn, MayDeactivate()).WillByDefault(Return(false));
  ide_->AddProject(stubborn);
  auto project = OpenBuilt(MakeProject({"m1"}));
  EXPECT_EQ(ide_->GetActiveProject(), Ref<IVexaProject>(stubborn));
  EXPECT_TRUE(project->IsBuilt());
  EXPECT_TRUE(created_.empty());
}

TEST_F(V2ProjectSimulationTest, AFailedMachineIsReportedAndLeavesNoSimulation) {
  failCreate_ = true;
  auto project = OpenBuilt(MakeProject({"m1"}));
  ASSERT_TRUE(PumpUntil([&] { return !created_.empty(); }));
  EXPECT_EQ(CurrentSimulator, nullptr);
  EXPECT_EQ(dialogs_->Texts(), QStringList{"Internal error: createMachine() failed"});
  EXPECT_TRUE(project->IsBuilt());
  // The IDE goes on: the next build tries again.
  failCreate_ = false;
  project->Build();
  ASSERT_TRUE(PumpUntil([&] { return CurrentSimulator != nullptr; }));
}

TEST_F(V2ProjectSimulationTest, ASimulationThatRefusesToCloseStays) {
  mayClose_ = false;
  auto project = OpenBuilt(MakeProject({"m1"}));
  ASSERT_TRUE(PumpUntil([&] { return CurrentSimulator != nullptr; }));
  const Ref<IVexaSimulator> paused = CurrentSimulator;
  project->Build();
  ASSERT_TRUE(PumpUntil([&] { return lib_.Count(&TFakeVx2Comp::written) == 2; }));
  ASSERT_TRUE(PumpUntil([&] { return !project->IsCompiling(); }));
  EXPECT_EQ(CurrentSimulator, paused);
  EXPECT_EQ(created_.size(), 1u);
  // Deactivation asks it too and keeps the project active when it refuses.
  EXPECT_FALSE(project->MayDeactivate());
}

TEST_F(V2ProjectSimulationTest, LeavingAProjectDropsItsSimulationAndCompileState) {
  auto project = OpenBuilt(MakeProject({"m1", "m2"}));
  ASSERT_TRUE(PumpUntil([&] { return CurrentSimulator != nullptr; }));
  auto watches = std::make_shared<NiceMock<test::MockWatchesView>>();
  WatchesView = watches;
  ASSERT_TRUE(project->GetModule(3)->HasLineInfos());

  EXPECT_CALL(*watches, RefreshAll()).Times(1);
  EXPECT_TRUE(project->MayDeactivate());
  EXPECT_EQ(CurrentSimulator, nullptr);
  EXPECT_FALSE(project->GetModule(3)->HasLineInfos());
  EXPECT_FALSE(project->GetModule(4)->HasLineInfos());
}

TEST_F(V2ProjectSimulationTest, PausedAtMarksTheLineInTheModuleOfThatNumber) {
  auto project = OpenBuilt(MakeProject({"m1", "m2"}));
  auto ide = std::make_shared<NiceMock<test::MockVexaIDE>>();
  VexaIDE = ide;
  const Ref<IVexaModule> m1 = project->GetModule(3);
  const Ref<IVexaModule> m2 = project->GetModule(4);
  auto e1 = std::make_shared<NiceMock<test::MockVexaSourceEditor>>();
  auto e2 = std::make_shared<NiceMock<test::MockVexaSourceEditor>>();
  m1->SetEditor(e1);
  ON_CALL(*ide, ShowModuleEditor(m2)).WillByDefault(Return(e2));
  EXPECT_CALL(*e2, SetExecutionLine(6));
  EXPECT_CALL(*e1, SetExecutionLine(-1));
  project->PausedAt(true, m2->GetModuleNumber(), 6);
  ::testing::Mock::VerifyAndClearExpectations(e1.get());
  EXPECT_CALL(*e1, SetExecutionLine(-1));
  EXPECT_CALL(*ide, ShowModuleEditor(_)).Times(0);
  project->PausedAt(false, m2->GetModuleNumber(), 6);
  m1->SetEditor(nullptr);
  VexaIDE = ide_;
}

}  // namespace
}  // namespace vexa::ide
