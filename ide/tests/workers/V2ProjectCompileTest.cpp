// The V2 project's background compilation, download and identifier questions.

#include "V2ProjectFixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace vexa::ide {
namespace {

using namespace test::v2project;

TEST_F(V2ProjectTest, TypingInTheThirdOfFiveModulesCompilesFromItAfterTheDelay) {
  auto project = OpenBuilt(MakeProject({"m1", "m2", "m3", "m4", "m5"}));
  EXPECT_EQ(lib_.Compiled(), (std::vector<std::string>{"m1", "m2", "m3", "m4", "m5"}));
  const int removeAlls = lib_.Count(&TFakeVx2Comp::removeAlls);
  {
    std::lock_guard lock(lib_.mutex);
    lib_.compiled.clear();
  }
  const Ref<IVexaModule> m3 = project->GetModule(5);
  ASSERT_EQ(m3->GetName(), "m3");
  m3->TextChanged();
  std::vector<bool> needs;
  for (int i = 3; i < 8; ++i) needs.push_back(project->GetModule(i)->NeedsCompile());
  EXPECT_EQ(needs, (std::vector<bool>{false, false, true, true, true}));
  EXPECT_FALSE(project->IsBuilt());
  EXPECT_TRUE(project->CompileScheduled());

  ASSERT_TRUE(PumpUntil([&] { return lib_.Compiled().size() >= 3 && !project->IsCompiling(); }));
  PumpFor(300ms);
  // One request for m3; the worker compiles it and the modules after it.
  EXPECT_EQ(lib_.Compiled(), (std::vector<std::string>{"m3", "m4", "m5"}));
  EXPECT_EQ(lib_.Count(&TFakeVx2Comp::removeAlls), removeAlls);
  for (int i = 3; i < 8; ++i) EXPECT_FALSE(project->GetModule(i)->NeedsCompile()) << i;
  EXPECT_TRUE(project->GetModule(5)->HasLineInfos());
}

TEST_F(V2ProjectTest, ABuildReportsItsStepsAndMessagesOnTheMainWindow) {
  auto ide = std::make_shared<NiceMock<test::MockVexaIDE>>();
  VexaIDE = ide;
  auto view = std::make_shared<NiceMock<test::MockMessageView>>();
  MessageView = view;
  QStringList status;
  ON_CALL(*ide, SetStatusText(3, _)).WillByDefault([&](int, const QString& Text) {
    status << Text;
  });
  std::vector<Ref<IVexaMessage>> messages;
  ON_CALL(*view, Add(_)).WillByDefault([&](const Ref<IVexaMessage>& M) { messages.push_back(M); });
  int clears = 0;
  ON_CALL(*view, Clear()).WillByDefault([&] { ++clears; });
  Ref<IVexaProject> active;
  ON_CALL(*ide, GetActiveProject()).WillByDefault([&] { return active; });
  V2SimulationFactory =
      test::SimulationFactoryOf([](const Ref<IV2SimulationProject>& Project, const QString&) {
        return Ref<IVexaSimulator>(std::make_shared<TFakeSimulator>(Project, true));
      });
  auto project = Open(MakeProject({"m1", "m2"}));
  active = project;
  ASSERT_TRUE(PumpUntil([&] { return CurrentSimulator != nullptr && !project->IsCompiling(); }));

  EXPECT_EQ(status,
            (QStringList{" Compiliere Modul \"m1\"...", "", " Compiliere Modul \"m2\"...", "",
                         " Schreibe Ausgabedateien...", " Erstelle Simulatorobjekt...", ""}));
  EXPECT_EQ(clears, 1);
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0]->GetText(), "m1 : OK");
  EXPECT_EQ(messages[0]->GetModule(), project->GetModule(3));
  EXPECT_EQ(messages[0]->GetSource(), Ref<IVexaProject>(project));
  EXPECT_EQ(messages[1]->GetModule(), project->GetModule(4));
  EXPECT_EQ(CurrentSimulator->GetProject(), Ref<IVexaProject>(project));
  EXPECT_TRUE(project->CanDownload());
}

// A build that makes no simulation (its project is not the active one, or the
// running simulation refuses to close) leaves no writing status behind.
TEST_F(V2ProjectTest, ABuildThatMakesNoSimulationClearsItsStatus) {
  auto ide = std::make_shared<NiceMock<test::MockVexaIDE>>();
  VexaIDE = ide;
  QStringList status;
  ON_CALL(*ide, SetStatusText(3, _)).WillByDefault([&](int, const QString& Text) {
    status << Text;
  });
  Ref<IVexaProject> active;
  ON_CALL(*ide, GetActiveProject()).WillByDefault([&] { return active; });
  int creates = 0;
  V2SimulationFactory =
      test::SimulationFactoryOf([&](const Ref<IV2SimulationProject>& Project, const QString&) {
        ++creates;
        return Ref<IVexaSimulator>(std::make_shared<TFakeSimulator>(Project, true));
      });
  const QString writing = " Schreibe Ausgabedateien...";
  auto built = [&](const Ref<TVexaV2Project>& P) {
    return PumpUntil([&] { return status.contains(writing) && P->IsBuilt() && !P->IsCompiling(); });
  };

  auto project = Open(MakeProject({"m1"}));
  ASSERT_TRUE(built(project)) << "not the active project";
  EXPECT_EQ(status.last(), "");
  EXPECT_EQ(creates, 0);

  const auto stubborn = std::make_shared<TFakeSimulator>(nullptr, false);
  CurrentSimulator = stubborn;
  active = project;
  status.clear();
  project->Build();
  ASSERT_TRUE(built(project)) << "the simulation refuses to close";
  EXPECT_EQ(status.last(), "");
  EXPECT_EQ(creates, 0);
  EXPECT_EQ(CurrentSimulator, stubborn);
}

TEST_F(V2ProjectTest, EveryChangeRestartsTheFullDelay) {
  options::BackgroundCompilationDelayV2 = 500;
  auto project = OpenBuilt(MakeProject({"m1", "m2"}));
  {
    std::lock_guard lock(lib_.mutex);
    lib_.compiled.clear();
  }
  project->GetModule(3)->TextChanged();
  PumpFor(150ms);
  ASSERT_TRUE(lib_.Compiled().empty());
  project->GetModule(4)->TextChanged();
  const auto second = std::chrono::steady_clock::now();
  ASSERT_TRUE(PumpUntil([&] { return !lib_.Compiled().empty(); }));
  const auto delay = std::chrono::duration_cast<std::chrono::milliseconds>([&] {
    std::lock_guard lock(lib_.mutex);
    return lib_.firstCompile;
  }() - second);
  EXPECT_GE(delay.count(), 490);
  EXPECT_LT(delay.count(), 900);
  ASSERT_TRUE(PumpUntil([&] { return !project->IsCompiling(); }));
  PumpFor(200ms);
  // The first changed module is named: both compiled once.
  EXPECT_EQ(lib_.Compiled(), (std::vector<std::string>{"m1", "m2"}));
}

TEST_F(V2ProjectTest, ToggledSystemModuleRegistersEveryModuleAgain) {
  auto project = OpenBuilt(MakeProject({"m1"}, "SYSTEM::lcd.v2\r\n"));
  const int removeAlls = lib_.Count(&TFakeVx2Comp::removeAlls);
  {
    std::lock_guard lock(lib_.mutex);
    EXPECT_EQ(lib_.added, (std::vector<std::string>{"lcd", "m1"}));
    lib_.added.clear();
    lib_.compiled.clear();
  }
  project->GetModule(1)->ToggleUsed();  // servo
  EXPECT_TRUE(project->ModuleListChanged());
  EXPECT_TRUE(project->GetModified());
  ASSERT_TRUE(PumpUntil([&] { return lib_.Compiled().size() >= 3 && !project->IsCompiling(); }));
  EXPECT_FALSE(project->ModuleListChanged());
  EXPECT_EQ(lib_.Count(&TFakeVx2Comp::removeAlls), removeAlls + 1);
  std::lock_guard lock(lib_.mutex);
  EXPECT_EQ(lib_.added, (std::vector<std::string>{"lcd", "servo", "m1"}));
  EXPECT_EQ(lib_.compiled, (std::vector<std::string>{"lcd", "servo", "m1"}));
}

TEST_F(V2ProjectTest, AWorkerThatDiedOfALibraryErrorIsReplacedAtTheNextCompilation) {
  auto project = OpenBuilt(MakeProject({"m1", "m2"}));
  {
    std::lock_guard lock(lib_.mutex);
    lib_.failCompile = true;
    lib_.compiled.clear();
  }
  project->GetModule(4)->TextChanged();
  ASSERT_TRUE(PumpUntil([&] { return project->Compiler() && project->Compiler()->Finished(); }));
  ASSERT_TRUE(PumpUntil([&] { return !project->IsCompiling(); }));
  EXPECT_EQ(dialogs_->Texts(), QStringList{"dll function compileModule() failed"});

  project->GetModule(4)->TextChanged();
  ASSERT_TRUE(PumpUntil([&] { return lib_.Compiled().size() >= 2 && !project->IsCompiling(); }));
  EXPECT_FALSE(project->Compiler()->Finished());
  std::lock_guard lock(lib_.mutex);
  EXPECT_EQ(lib_.projectNames.size(), 2u);
  // The new worker registers and compiles every module.
  EXPECT_EQ(lib_.compiled, (std::vector<std::string>{"m1", "m2"}));
}

TEST_F(V2ProjectTest, ABuildRightAfterAModuleListChangeBuildsTheNewList) {
  auto project = OpenBuilt(MakeProject({"m1", "m2"}));
  {
    std::lock_guard lock(lib_.mutex);
    lib_.added.clear();
  }
  const int written = lib_.Count(&TFakeVx2Comp::written);
  project->MoveModule(project->GetModule(4), true);
  // Ctrl+F9 before the delayed tick.
  project->Build();
  EXPECT_FALSE(project->CompileScheduled());
  ASSERT_TRUE(PumpUntil([&] { return lib_.Count(&TFakeVx2Comp::written) > written; }));
  std::lock_guard lock(lib_.mutex);
  EXPECT_EQ(lib_.added, (std::vector<std::string>{"m2", "m1"}));
}

TEST_F(V2ProjectTest, ClosingAnEditorWithoutSavingCompilesTheFilesText) {
  auto project = OpenBuilt(MakeProject({"m1", "m2"}));
  const Ref<IVexaModule> m1 = project->GetModule(3);
  auto editor = std::make_shared<NiceMock<test::MockVexaSourceEditor>>();
  ON_CALL(*editor, GetText()).WillByDefault(Return(TSourceText{"int edited;\n", 2}));
  ON_CALL(*editor, IsTextModified()).WillByDefault(Return(true));
  m1->SetEditor(editor);
  m1->TextChanged();
  ASSERT_TRUE(PumpUntil([&] {
    std::lock_guard lock(lib_.mutex);
    return lib_.sources["m1"] == "int edited;\n";
  }));
  ASSERT_TRUE(PumpUntil([&] { return !project->IsCompiling() && !m1->NeedsCompile(); }));

  // The user closes the editor and answers "Nein".
  m1->SetEditor(nullptr);
  EXPECT_TRUE(m1->NeedsCompile());
  ASSERT_TRUE(PumpUntil([&] {
    std::lock_guard lock(lib_.mutex);
    return lib_.sources["m1"] == "int m1x;\n";
  }));
}

// The compiler gets each module's text as the bytes saving it writes, without
// a BOM: from the file, or from the editor in the encoding the file keeps.
TEST_F(V2ProjectTest, ModulesReachTheCompilerAsTheBytesOfTheirFiles) {
  const QString file = MakeProject({"m1", "m2", "m3"});
  Write("m1.v2", "\xEF\xBB\xBFs = \"\xC3\xA4\";\n");
  Write("m2.v2", "s = \"\xE4\x80\";\n");
  Write("m3.v2", "s = \"\xC3\xA4\";\n");
  auto project = OpenBuilt(file);
  auto sources = [this] {
    std::lock_guard lock(lib_.mutex);
    return std::vector<std::string>{lib_.sources["m1"], lib_.sources["m2"], lib_.sources["m3"]};
  };
  EXPECT_EQ(sources(), (std::vector<std::string>{"s = \"\xC3\xA4\";\n", "s = \"\xE4\x80\";\n",
                                                 "s = \"\xC3\xA4\";\n"}));

  // Edited: m2 no longer fits Windows-1252 and goes whole as UTF-8; m3 stays UTF-8.
  const struct {
    int index;
    TSourceText text;
    std::string bytes;
  } edits[] = {
      {4,
       {QString::fromUtf8("s = \"ä€Ω\";\n"), 2, TTextEncoding::Windows1252},
       "s = \"\xC3\xA4\xE2\x82\xAC\xCE\xA9\";\n"},
      {5,
       {QString::fromUtf8("s = \"ä€\";\n"), 2, TTextEncoding::Utf8},
       "s = \"\xC3\xA4\xE2\x82\xAC\";\n"},
  };
  for (const auto& edit : edits) {
    const Ref<IVexaModule> module = project->GetModule(edit.index);
    auto editor = std::make_shared<NiceMock<test::MockVexaSourceEditor>>();
    ON_CALL(*editor, GetText()).WillByDefault(Return(edit.text));
    module->SetEditor(editor);
    module->TextChanged();
    ASSERT_TRUE(PumpUntil([&] {
      std::lock_guard lock(lib_.mutex);
      return lib_.sources[module->GetName().toStdString()] == edit.bytes;
    })) << module->GetName().toStdString();
    ASSERT_TRUE(PumpUntil([&] { return !project->IsCompiling() && !module->NeedsCompile(); }));
    module->SetEditor(nullptr);
  }
}

TEST_F(V2ProjectTest, DownloadWithoutAPortShowsTheTextAndSendsNothing) {
  auto project = OpenBuilt(MakeProject({"m1"}));
  ASSERT_TRUE(project->CanDownload());
  for (int port : {0, 9}) {
    options::DownloadComV2 = port;
    dialogs_->calls.clear();
    project->Download();
    EXPECT_EQ(dialogs_->Texts(),
              QStringList{"Sie müssen zuerst die serielle Schnittstelle zur Übertragung des "
                          "Programms zur Vexa Unit auswählen!"});
    EXPECT_FALSE(project->IsCompiling());
  }
  PumpFor(100ms);
  EXPECT_EQ(lib_.Count(&TFakeVx2Comp::imageRequests), 0);
  EXPECT_TRUE(project->CanDownload());
}

TEST_F(V2ProjectTest, DownloadWithAPortKeepsCommandsDisabledUntilTheWorkerIsIdle) {
  auto project = OpenBuilt(MakeProject({"m1"}));
  options::DownloadComV2 = 8;
  project->Download();
  EXPECT_TRUE(project->IsCompiling());
  EXPECT_FALSE(project->CanDownload());
  EXPECT_FALSE(project->CanBuild());
  // The fake has no image: the worker gives up and reports idle.
  ASSERT_TRUE(PumpUntil([&] { return !project->IsCompiling(); }));
  EXPECT_GT(lib_.Count(&TFakeVx2Comp::imageRequests), 0);
}

TEST_F(V2ProjectTest, IdentifierQuestionsGoToTheWorker) {
  auto ide = std::make_shared<NiceMock<test::MockVexaIDE>>();
  VexaIDE = ide;
  auto project = OpenBuilt(MakeProject({"motor", "main"}));
  ASSERT_TRUE(PumpUntil([&] { return project->IsBuilt() && !project->IsCompiling(); }));
  const Ref<IVexaModule> motor = project->GetModule(3);
  const Ref<IVexaModule> main = project->GetModule(4);
  EXPECT_TRUE(project->CanFindDeclaration());

  // Completions, sorted by the worker.
  EXPECT_EQ(project->GetIdentCompletions(main, 2, "motor"),
            (QStringList{"clamp (function)", "speed (variable)"}));

  // Go to a definition in another module and come back.
  auto motorEditor = std::make_shared<NiceMock<test::MockVexaSourceEditor>>();
  auto mainEditor = std::make_shared<NiceMock<test::MockVexaSourceEditor>>();
  ON_CALL(*ide, ShowModuleEditor(motor)).WillByDefault(Return(motorEditor));
  ON_CALL(*ide, ShowModuleEditor(main)).WillByDefault(Return(mainEditor));
  {
    std::lock_guard lock(lib_.mutex);
    lib_.defModule = 1;  // motor
    lib_.defLine = 12;
  }
  EXPECT_CALL(*motorEditor, Activate());
  EXPECT_CALL(*motorEditor, SetCaret(::testing::AllOf(::testing::Field(&TCaretPos::Column, 1),
                                                      ::testing::Field(&TCaretPos::Line, 12))));
  project->FindDeclaration(main, 7, "motor.speed");
  ASSERT_EQ(project->DefinitionStack().size(), 1u);
  EXPECT_EQ(project->DefinitionStack()[0], (std::pair<QString, int>{"main", 7}));
  EXPECT_TRUE(project->CanReturnFromDefinition());

  EXPECT_CALL(*mainEditor, SetCaret(::testing::Field(&TCaretPos::Line, 7)));
  project->ReturnFromDefinition();
  EXPECT_FALSE(project->CanReturnFromDefinition());

  // Found where it was asked: nothing moves, nothing is pushed.
  {
    std::lock_guard lock(lib_.mutex);
    lib_.defModule = 2;
    lib_.defLine = 7;
  }
  project->FindDeclaration(main, 7, "x");
  EXPECT_TRUE(project->DefinitionStack().empty());
  EXPECT_TRUE(dialogs_->calls.empty());
  {
    std::lock_guard lock(lib_.mutex);
    lib_.defModule = 0;
  }
  project->FindDeclaration(main, 7, "nix");
  EXPECT_EQ(dialogs_->Texts(),
            QStringList{"Der Bezeichner \"nix\" ist nicht gültig oder nicht definiert!"});

  // Watches by the full name.
  dialogs_->calls.clear();
  project->AddWatch(main, 3, "zz");
  EXPECT_EQ(dialogs_->Texts(), QStringList{"Der Bezeichner \"zz\" kann nicht überwacht werden!"});
  {
    std::lock_guard lock(lib_.mutex);
    lib_.fullName = "motor.speed";
  }
  project->AddWatch(main, 3, "speed");
  ASSERT_EQ(project->GetWatchCount(), 1);
  EXPECT_EQ(project->GetWatch(0)->GetName(), "motor.speed");
}

}  // namespace
}  // namespace vexa::ide
