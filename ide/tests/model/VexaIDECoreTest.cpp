#include "model/core/VexaIDECore.h"

#include "MockIntfs.h"
#include "model/core/Services.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <string>
#include <vector>

namespace vexa::ide {
namespace {

using testing::_;
using testing::InSequence;
using testing::NiceMock;
using testing::Return;
using testing::StrictMock;

class FakeFrame : public IVexaIDEFrame {
 public:
  QString panels[TVexaIDECore::kStatusPanelCount];
  void SetStatusText(int Panel, const QString& Text) override { panels[Panel] = Text; }
  QWidget* GetMainForm() override { return nullptr; }
  QTabWidget* GetPageControl() override { return pageControl; }
  QTabWidget* pageControl = reinterpret_cast<QTabWidget*>(0x1234);
};

// An editor that keeps its file, module and modified flag and, as the real
// one, leaves the IDE's list when it closes.
class FakeEditor : public NiceMock<test::MockVexaSourceEditor> {
 public:
  QString file;
  Ref<IVexaModule> module;
  bool modified = false;

  FakeEditor() {
    ON_CALL(*this, GetFileName).WillByDefault([this] { return file; });
    ON_CALL(*this, GetModule).WillByDefault([this] { return module; });
    ON_CALL(*this, GetModified).WillByDefault([this] { return modified; });
    ON_CALL(*this, SetModule).WillByDefault([this](const Ref<IVexaModule>& m) { module = m; });
    ON_CALL(*this, CloseQuery).WillByDefault(Return(true));
    ON_CALL(*this, Save).WillByDefault(Return(true));
    ON_CALL(*this, Close).WillByDefault([this] { VexaIDE->RemoveEditor(self.lock()); });
  }
  std::weak_ptr<FakeEditor> self;
};

class FakeModule : public NiceMock<test::MockVexaModule> {
 public:
  QString file;
  std::weak_ptr<IVexaSourceEditor> editor;  // the editor holds the module
  std::weak_ptr<IVexaProject> project;
  bool projectFile = false;  // the VXBasic module

  FakeModule() {
    ON_CALL(*this, GetFileName).WillByDefault([this] { return file; });
    ON_CALL(*this, GetEditor).WillByDefault([this] { return editor.lock(); });
    ON_CALL(*this, GetProject).WillByDefault([this] { return project.lock(); });
    ON_CALL(*this, IsProjectFile).WillByDefault([this] { return projectFile; });
  }
};

class FakeProject : public NiceMock<test::MockVexaProject> {
 public:
  QString file;
  QString name;
  std::vector<std::shared_ptr<FakeModule>> modules;
  bool modified = false;
  bool singleModule = false;

  FakeProject() {
    ON_CALL(*this, GetFileName).WillByDefault([this] { return file; });
    ON_CALL(*this, GetName).WillByDefault([this] { return name; });
    ON_CALL(*this, GetModified).WillByDefault([this] { return modified; });
    ON_CALL(*this, IsSingleModule).WillByDefault([this] { return singleModule; });
    ON_CALL(*this, GetModuleCount).WillByDefault([this] { return int(modules.size()); });
    ON_CALL(*this, GetModule).WillByDefault([this](int i) -> Ref<IVexaModule> {
      return i >= 0 && i < int(modules.size()) ? modules[i] : nullptr;
    });
    ON_CALL(*this, FindModule).WillByDefault([this](const QString& f) -> Ref<IVexaModule> {
      for (auto& m : modules)
        if (m->file == f) return m;
      return nullptr;
    });
    ON_CALL(*this, MayDeactivate).WillByDefault(Return(true));
    ON_CALL(*this, CloseQuery).WillByDefault(Return(true));
    ON_CALL(*this, Save).WillByDefault(Return(true));
  }
};

class VexaIDECoreTest : public testing::Test {
 protected:
  void SetUp() override {
    core = std::make_shared<TVexaIDECore>(&frame);
    VexaIDE = core;
    MessageView = messages;
    ProjectEditor = tree;
    SourceEditorFactory = editorFactory;
    V2ProjectFactory = v2Factory;
    BASICProjectFactory = basicFactory;
  }
  void TearDown() override { ReleaseServices(); }

  // An editor registered as a new one registers itself.
  std::shared_ptr<FakeEditor> OpenEditor(const QString& file, bool modified = false) {
    auto e = std::make_shared<FakeEditor>();
    e->self = e;
    e->file = file;
    e->modified = modified;
    core->AddEditor(e);
    return e;
  }

  // A project with modules of the given files; each module with an editor when asked.
  std::shared_ptr<FakeProject> OpenProject(const QString& name, const QStringList& moduleFiles = {},
                                           bool withEditors = false) {
    auto p = std::make_shared<FakeProject>();
    p->name = name;
    p->file = "/projects/" + name + ".v2p";
    for (const QString& f : moduleFiles) {
      auto m = std::make_shared<FakeModule>();
      m->file = f;
      m->project = p;
      if (withEditors) {
        auto e = OpenEditor(f);
        e->module = m;
        m->editor = e;
      }
      p->modules.push_back(m);
    }
    core->AddProject(p);
    return p;
  }

  std::vector<Ref<IVexaSourceEditor>> Editors() {
    std::vector<Ref<IVexaSourceEditor>> list;
    for (int i = 0; i < core->GetEditorCount(); ++i) list.push_back(core->GetEditor(i));
    return list;
  }

  FakeFrame frame;
  std::shared_ptr<TVexaIDECore> core;
  std::shared_ptr<NiceMock<test::MockMessageView>> messages =
      std::make_shared<NiceMock<test::MockMessageView>>();
  std::shared_ptr<NiceMock<test::MockProjectEditor>> tree =
      std::make_shared<NiceMock<test::MockProjectEditor>>();
  std::shared_ptr<StrictMock<test::MockVexaSourceEditorFactory>> editorFactory =
      std::make_shared<StrictMock<test::MockVexaSourceEditorFactory>>();
  std::shared_ptr<StrictMock<test::MockVexaProjectFactory>> v2Factory =
      std::make_shared<StrictMock<test::MockVexaProjectFactory>>();
  std::shared_ptr<StrictMock<test::MockVexaProjectFactory>> basicFactory =
      std::make_shared<StrictMock<test::MockVexaProjectFactory>>();
};

// --- opening ---

struct ProjectSpelling {
  const char* name;
  const char* spelling;  // relative to the folder; "%" stands for the folder
  bool sameProject;
};

class OpenProjectSpellingTest : public VexaIDECoreTest,
                                public testing::WithParamInterface<ProjectSpelling> {};

TEST_P(OpenProjectSpellingTest, AnOpenProjectFileIsActivatedNotOpenedAgain) {
  QTemporaryDir dir;
  QDir(dir.path()).mkdir("sub");
  QFile file(dir.path() + "/demo.v2p");
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  auto first = OpenProject("first");
  first->file = dir.path() + "/demo.v2p";
  auto second = OpenProject("second");
  ASSERT_EQ(core->GetActiveProject(), second);

  QString spelling = QString(GetParam().spelling).replace("%", dir.path());
  if (GetParam().sameProject) {
    EXPECT_CALL(*first, Activate);
  } else {
    EXPECT_CALL(*v2Factory, CreateProject(spelling)).WillOnce([this](const QString&) {
      auto p = std::make_shared<FakeProject>();
      core->AddProject(p);
      return p;
    });
  }
  core->OpenByKind(spelling, TFileKind::V2Project);

  EXPECT_EQ(core->GetProjectCount(), GetParam().sameProject ? 2 : 3);
  if (GetParam().sameProject) {
    EXPECT_EQ(core->GetActiveProject(), first);
  }
}

INSTANTIATE_TEST_SUITE_P(Spellings, OpenProjectSpellingTest,
                         testing::Values(ProjectSpelling{"SamePath", "%/demo.v2p", true},
                                         ProjectSpelling{"ThroughSubfolder", "%/sub/../demo.v2p",
                                                         true},
                                         ProjectSpelling{"DoubledSeparator", "%//demo.v2p", true},
                                         // Linux file names are case-sensitive: another file.
                                         ProjectSpelling{"OtherCase", "%/DEMO.v2p", false},
                                         ProjectSpelling{"MissingFile", "%/other.v2p", false},
                                         // A new, untitled project never matches an open one.
                                         ProjectSpelling{"Untitled", "", false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(VexaIDECoreTest, ProjectKindsGoToTheirFactoryAndOtherKindsDoNothing) {
  EXPECT_CALL(*basicFactory, CreateProject(QString("/x/a.bas"))).WillOnce(Return(nullptr));
  core->OpenByKind("/x/a.bas", TFileKind::BasicProject);
  EXPECT_CALL(*v2Factory, CreateProject(QString())).WillOnce(Return(nullptr));
  core->OpenByKind("", TFileKind::V2Project);
  core->OpenByKind("/x/a.txt", static_cast<TFileKind>(7));  // the strict factories see nothing
}

TEST_F(VexaIDECoreTest, AnOpenSourceFileActivatesItsEditor) {
  auto a = OpenEditor("/src/a.v2");
  auto b = OpenEditor("/src/b.v2");
  core->SetActiveEditor(b);
  EXPECT_CALL(*a, Activate);
  EXPECT_EQ(core->OpenFile("/src/../src/a.v2", TFileKind::V2Module), a);
  EXPECT_EQ(core->GetActiveEditor(), a);

  // Activating the active one again does not call it.
  EXPECT_CALL(*a, Activate).Times(0);
  core->OpenByKind("/src/a.v2", TFileKind::V2Module);
  EXPECT_EQ(core->GetEditorCount(), 2);
}

TEST_F(VexaIDECoreTest, ANewFileGetsAnEditorInThePageControlWithItsFullPath) {
  auto made = std::make_shared<FakeEditor>();
  const QString full = QDir::current().absoluteFilePath("notes.txt");
  EXPECT_CALL(*editorFactory, CreateForFile(frame.pageControl, full, TFileKind::Plain))
      .WillOnce(Return(made));
  EXPECT_EQ(core->OpenFile("notes.txt", TFileKind::Plain), made);
  // Untitled editors are never matched against each other.
  OpenEditor("");
  EXPECT_CALL(*editorFactory, CreateForFile(_, QString(), TFileKind::V2Module))
      .WillOnce(Return(made));
  core->OpenByKind("", TFileKind::V2Module);
}

TEST_F(VexaIDECoreTest, ShowModuleEditorFindsByModuleThenByFileElseCreates) {
  auto active = OpenProject("active", {"/p/a.v2", "/p/b.v2", "/p/c.v2"});
  auto other = OpenProject("other", {"/q/d.v2"});
  core->SetActiveProject(active);
  auto byModule = OpenEditor("/p/a.v2");
  byModule->module = active->modules[0];
  auto byFile = OpenEditor("/p/b.v2");
  auto otherFile = OpenEditor("/q/d.v2");

  EXPECT_CALL(*byModule, Activate);
  EXPECT_EQ(core->ShowModuleEditor(active->modules[0]), byModule);

  // Found by file: bound only when the module belongs to the active project.
  EXPECT_EQ(core->ShowModuleEditor(active->modules[1]), byFile);
  EXPECT_EQ(byFile->module, active->modules[1]);
  EXPECT_EQ(core->ShowModuleEditor(other->modules[0]), otherFile);
  EXPECT_EQ(otherFile->module, nullptr);
  EXPECT_EQ(core->GetActiveEditor(), otherFile);

  auto made = std::make_shared<FakeEditor>();
  EXPECT_CALL(*editorFactory,
              CreateForModule(frame.pageControl, Ref<IVexaModule>(active->modules[2])))
      .WillOnce(Return(made));
  EXPECT_EQ(core->ShowModuleEditor(active->modules[2]), made);
  EXPECT_EQ(core->ShowModuleEditor(nullptr), nullptr);
}

// --- activation and binding ---

TEST_F(VexaIDECoreTest, ActivatingAProjectRepaintsBothClearsMessagesAndActivatesIt) {
  auto first = OpenProject("first");
  auto second = OpenProject("second");
  core->SetActiveProject(first);
  {
    InSequence order;
    EXPECT_CALL(*first, MayDeactivate).WillOnce(Return(true));
    EXPECT_CALL(*tree, RepaintProject(Ref<IVexaProject>(first)));
    EXPECT_CALL(*second, Activate);
    EXPECT_CALL(*tree, RepaintProject(Ref<IVexaProject>(second)));
    EXPECT_CALL(*messages, Clear);
  }
  core->SetActiveProject(second);
  EXPECT_EQ(core->GetActiveProject(), second);
}

TEST_F(VexaIDECoreTest, AProjectThatRefusesToDeactivateStaysActive) {
  auto first = OpenProject("first");
  auto second = OpenProject("second");
  core->SetActiveProject(first);
  EXPECT_CALL(*first, MayDeactivate).WillRepeatedly(Return(false));
  EXPECT_CALL(*messages, Clear).Times(0);
  EXPECT_CALL(*second, Activate).Times(0);
  EXPECT_CALL(*tree, RepaintProject).Times(0);
  core->SetActiveProject(second);
  core->ActivateProjectAt(1);
  core->SetActiveProject(nullptr);
  EXPECT_EQ(core->GetActiveProject(), first);
}

TEST_F(VexaIDECoreTest, AddedProjectBecomesActiveAndIsShownInTheTree) {
  auto p = std::make_shared<FakeProject>();
  {
    InSequence order;
    EXPECT_CALL(*p, Activate);
    EXPECT_CALL(*tree, ProjectAdded(Ref<IVexaProject>(p)));
  }
  core->AddProject(p);
  core->AddProject(p);  // no second entry
  EXPECT_EQ(core->GetProjectCount(), 1);
  EXPECT_EQ(core->GetActiveProject(), p);
}

TEST_F(VexaIDECoreTest, EditorsAreReboundToTheActiveProjectsModules) {
  auto basic = OpenProject("basic", {"/b/prog.bas"});
  basic->singleModule = true;
  basic->modules[0]->projectFile = true;
  auto v2 = OpenProject("v2", {"/v/main.v2", "/v/io.v2"});
  auto basicEditor = OpenEditor("/b/prog.bas");
  basicEditor->module = basic->modules[0];
  auto inProject = OpenEditor("/v/io.v2");
  auto elsewhere = OpenEditor("/w/x.v2");
  elsewhere->module = v2->modules[0];  // a stale binding goes

  core->SetActiveProject(basic);
  core->SetActiveProject(v2);
  EXPECT_EQ(basicEditor->module, basic->modules[0]);
  EXPECT_EQ(inProject->module, v2->modules[1]);
  EXPECT_EQ(elsewhere->module, nullptr);

  // A project that keeps editors unbound unbinds all but the VXBasic one.
  auto single = OpenProject("single", {"/v/io.v2"});
  single->singleModule = true;
  core->SetActiveProject(v2);
  core->SetActiveProject(single);
  EXPECT_EQ(basicEditor->module, basic->modules[0]);
  EXPECT_EQ(inProject->module, nullptr);

  // Without an active project nothing is rebound.
  auto kept = std::make_shared<FakeModule>();
  inProject->module = kept;
  core->RemoveProject(single);
  core->OpenByKind("/v/io.v2", TFileKind::V2Module);
  EXPECT_EQ(inProject->module, kept);
}

TEST_F(VexaIDECoreTest, ProjectMenuListsProjectsInOrderWithTheActiveOneChecked) {
  OpenProject("alpha");
  auto beta = OpenProject("beta");
  OpenProject("gamma");
  core->SetActiveProject(beta);
  auto items = core->ProjectMenuItems();
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(items[0].Caption, "alpha");
  EXPECT_EQ(items[2].Caption, "gamma");
  EXPECT_FALSE(items[0].Checked);
  EXPECT_TRUE(items[1].Checked);
  EXPECT_FALSE(items[2].Checked);

  core->ActivateProjectAt(0);
  EXPECT_TRUE(core->ProjectMenuItems()[0].Checked);
  core->ActivateProjectAt(3);  // an item of an older list
  EXPECT_EQ(core->GetActiveProject(), core->GetProject(0));
}

TEST_F(VexaIDECoreTest, AClosedEditorIsNoLongerTheActiveOne) {
  auto a = OpenEditor("/a.v2");
  core->SetActiveEditor(a);
  a->Close();
  EXPECT_EQ(core->GetEditorCount(), 0);
  EXPECT_EQ(core->GetActiveEditor(), nullptr);
}

// --- closing ---

TEST_F(VexaIDECoreTest, RemoveProjectClosesModuleEditorsLastFirstThenTheProject) {
  auto p = OpenProject("p", {"/p/a.v2", "/p/b.v2", "/p/c.v2"}, true);
  p->modules[1]->editor.reset();
  auto plain = OpenEditor("/notes.txt");
  auto ea = std::static_pointer_cast<FakeEditor>(core->GetEditor(0));
  auto ec = std::static_pointer_cast<FakeEditor>(core->GetEditor(2));
  {
    InSequence order;
    EXPECT_CALL(*ec, Close);
    EXPECT_CALL(*ea, Close);
    EXPECT_CALL(*p, Close);
    EXPECT_CALL(*tree, ProjectRemoved(Ref<IVexaProject>(p)));
  }
  EXPECT_CALL(*plain, Close).Times(0);
  core->RemoveProject(p);
  EXPECT_EQ(core->GetProjectCount(), 0);
  EXPECT_EQ(core->GetActiveProject(), nullptr);
  EXPECT_EQ(core->GetEditorCount(), 2);  // b's editor was not the module's; the plain one
}

TEST_F(VexaIDECoreTest, AProjectRemovedWhileItsEditorClosesIsClosedOnce) {
  // A VXBasic project asks for its own removal when its editor goes.
  auto p = OpenProject("basic", {"/b/prog.bas"}, true);
  auto e = std::static_pointer_cast<FakeEditor>(core->GetEditor(0));
  ON_CALL(*e, Close).WillByDefault([this, we = std::weak_ptr(e), wp = std::weak_ptr(p)] {
    core->RemoveEditor(we.lock());
    core->RemoveProject(wp.lock());
  });
  EXPECT_CALL(*p, Close).Times(1);
  EXPECT_CALL(*tree, ProjectRemoved).Times(1);
  core->RemoveProject(p);
  EXPECT_EQ(core->GetProjectCount(), 0);
}

TEST_F(VexaIDECoreTest, CloseAllWithACancelledModuleEditorClosesNothing) {
  auto p = OpenProject("p", {"/p/a.v2"}, true);
  auto e = std::static_pointer_cast<FakeEditor>(core->GetEditor(0));
  e->modified = true;
  auto plain = OpenEditor("/notes.txt");
  EXPECT_CALL(*e, CloseQuery).WillOnce(Return(false));
  EXPECT_CALL(*p, CloseQuery).Times(0);
  EXPECT_CALL(*e, Close).Times(0);
  EXPECT_CALL(*plain, Close).Times(0);
  EXPECT_CALL(*p, Close).Times(0);
  core->CloseAll();
  EXPECT_EQ(core->GetProjectCount(), 1);
  EXPECT_EQ(core->GetEditorCount(), 2);
}

TEST_F(VexaIDECoreTest, CloseAllRemovesProjectsLastFirstThenAsksAndClosesTheOtherEditors) {
  auto p1 = OpenProject("p1");
  auto p2 = OpenProject("p2");
  auto x = OpenEditor("/x.txt");
  auto y = OpenEditor("/y.txt");
  {
    InSequence order;
    EXPECT_CALL(*p1, CloseQuery).WillOnce(Return(true));
    EXPECT_CALL(*p2, CloseQuery).WillOnce(Return(true));
    EXPECT_CALL(*p2, Close);
    EXPECT_CALL(*p1, Close);
    EXPECT_CALL(*x, CloseQuery).WillOnce(Return(true));
    EXPECT_CALL(*y, CloseQuery).WillOnce(Return(true));
    EXPECT_CALL(*y, Close);
    EXPECT_CALL(*x, Close);
  }
  core->CloseAll();
  EXPECT_EQ(core->GetProjectCount(), 0);
  EXPECT_EQ(core->GetEditorCount(), 0);
}

TEST_F(VexaIDECoreTest, CloseAllKeepsEveryEditorWhenOneRefuses) {
  auto x = OpenEditor("/x.txt");
  auto y = OpenEditor("/y.txt");
  EXPECT_CALL(*x, CloseQuery).WillOnce(Return(false));
  EXPECT_CALL(*y, CloseQuery).Times(0);
  EXPECT_CALL(*x, Close).Times(0);
  EXPECT_CALL(*y, Close).Times(0);
  core->CloseAll();
  EXPECT_EQ(core->GetEditorCount(), 2);
}

TEST_F(VexaIDECoreTest, ClosingTheIDEAsksTheModifiedUntitledEditorThenProjectsLastFirst) {
  auto p1 = OpenProject("p1", {"/p1/a.v2"}, true);
  auto p2 = OpenProject("p2");
  core->SetActiveProject(p1);  // its editor stays bound to its module
  auto moduleEditor = std::static_pointer_cast<FakeEditor>(core->GetEditor(0));
  moduleEditor->modified = true;
  auto unchanged = OpenEditor("");
  auto untitled = OpenEditor("", true);
  EXPECT_CALL(*unchanged, CloseQuery).Times(0);
  {
    InSequence order;
    EXPECT_CALL(*untitled, CloseQuery).WillOnce(Return(true));
    EXPECT_CALL(*p2, CloseQuery).WillOnce(Return(true));
    EXPECT_CALL(*moduleEditor, CloseQuery).WillOnce(Return(true));
    EXPECT_CALL(*p1, CloseQuery).WillOnce(Return(true));
  }
  EXPECT_TRUE(core->CloseQuery());
  EXPECT_EQ(core->GetProjectCount(), 2);  // asking closes nothing
}

TEST_F(VexaIDECoreTest, ARefusalKeepsTheIDEOpenAndAsksNoFurther) {
  auto p1 = OpenProject("p1");
  auto p2 = OpenProject("p2");
  auto untitled = OpenEditor("", true);
  EXPECT_CALL(*untitled, CloseQuery).WillOnce(Return(false));
  EXPECT_CALL(*p2, CloseQuery).Times(0);
  EXPECT_FALSE(core->CloseQuery());

  EXPECT_CALL(*untitled, CloseQuery).WillOnce(Return(true));
  EXPECT_CALL(*p2, CloseQuery).WillOnce(Return(false));
  EXPECT_CALL(*p1, CloseQuery).Times(0);
  EXPECT_FALSE(core->CloseQuery());
}

TEST_F(VexaIDECoreTest, ShutdownClearsViewsAndHandlersThenClosesEditorsAndProjectsLastFirst) {
  auto p1 = OpenProject("p1");
  auto p2 = OpenProject("p2");
  auto x = OpenEditor("/x.txt");
  auto y = OpenEditor("/y.txt");
  EditCommandHandler = std::make_shared<NiceMock<test::MockEditCommands>>();
  ProjectCommandHandler = std::make_shared<NiceMock<test::MockProjectCommands>>();
  bool handlersEmptyAtFirstClose = false;
  {
    InSequence order;
    EXPECT_CALL(*messages, Clear);
    EXPECT_CALL(*tree, Clear);
    EXPECT_CALL(*y, Close).WillOnce([&] {
      handlersEmptyAtFirstClose = !EditCommandHandler && !ProjectCommandHandler;
      core->RemoveEditor(y);
    });
    EXPECT_CALL(*x, Close);
    EXPECT_CALL(*p2, Close);
    EXPECT_CALL(*p1, Close);
  }
  core->Shutdown();
  EXPECT_TRUE(handlersEmptyAtFirstClose);
  EXPECT_EQ(VexaIDE, nullptr);
  EXPECT_EQ(core->GetProjectCount(), 0);
  EXPECT_EQ(core->GetEditorCount(), 0);
  EXPECT_EQ(core->GetActiveProject(), nullptr);
}

TEST_F(VexaIDECoreTest, ShutdownLeavesAnotherIDEInPlace) {
  auto other = std::make_shared<NiceMock<test::MockVexaIDE>>();
  VexaIDE = other;
  core->Shutdown();
  EXPECT_EQ(VexaIDE, other);
}

// --- saving and queries ---

TEST_F(VexaIDECoreTest, SaveAllStopsAtTheFirstFailedSave) {
  auto e1 = OpenEditor("/1", true);
  auto e2 = OpenEditor("/2", false);
  auto e3 = OpenEditor("/3", true);
  auto e4 = OpenEditor("/4", true);
  auto p = OpenProject("p");
  p->modified = true;
  EXPECT_CALL(*e1, Save).WillOnce(Return(true));
  EXPECT_CALL(*e2, Save).Times(0);
  EXPECT_CALL(*e3, Save).WillOnce(Return(false));
  EXPECT_CALL(*e4, Save).Times(0);
  EXPECT_CALL(*p, Save).Times(0);
  core->SaveAll();
}

TEST_F(VexaIDECoreTest, SaveAllSavesModifiedProjectsInOrderUntilOneFails) {
  auto e = OpenEditor("/1", true);
  auto p1 = OpenProject("p1");
  auto p2 = OpenProject("p2");
  auto p3 = OpenProject("p3");
  p1->modified = p2->modified = p3->modified = true;
  {
    InSequence order;
    EXPECT_CALL(*e, Save).WillOnce(Return(true));
    EXPECT_CALL(*p1, Save).WillOnce(Return(true));
    EXPECT_CALL(*p2, Save).WillOnce(Return(false));
  }
  EXPECT_CALL(*p3, Save).Times(0);
  core->SaveAll();
}

TEST_F(VexaIDECoreTest, StatusPanelsGoToTheFrameAndClearingLeavesTheStatusText) {
  for (int panel = 0; panel < 4; ++panel) core->SetStatusText(panel, "x");
  core->SetStatusText(4, "beyond");
  core->SetStatusText(-1, "before");
  core->ClearStatusPanels();
  EXPECT_EQ(frame.panels[0], "");
  EXPECT_EQ(frame.panels[2], "");
  EXPECT_EQ(frame.panels[3], "x");
}

}  // namespace
}  // namespace vexa::ide
