#include "model/projects/V2Module.h"

#include "FakeDialogs.h"
#include "MockIntfs.h"
#include "TempSettings.h"
#include "model/commands/CommandsModule.h"
#include "model/core/Services.h"
#include "model/core/TextCodec.h"
#include "model/settings/Options.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace vexa::ide {
namespace {

using test::MockProjectEditor;
using test::MockVexaProject;
using test::MockVexaSimulator;
using test::MockVexaSourceEditor;
using test::TScopedFakeDialogs;
using test::TTempSettings;
using testing::_;
using testing::InSequence;
using testing::NiceMock;
using testing::Return;
using testing::StrictMock;

class V2ModuleTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    project_ = std::make_shared<NiceMock<MockVexaProject>>();
    projectEditor_ = std::make_shared<StrictMock<MockProjectEditor>>();
    ProjectEditor = projectEditor_;
  }
  void TearDown() override {
    ReleaseServices();
    options::DefaultProjectPath.clear();
  }

  QString Path(const QString& Leaf) const { return dir_.path() + "/" + Leaf; }

  QString Write(const QString& Leaf, const QByteArray& Bytes) {
    QFile file(Path(Leaf));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(Bytes);
    return Path(Leaf);
  }

  Ref<TVexaV2Module> Make(TModuleKind Kind = TModuleKind::Project, bool Used = true,
                          const QString& Leaf = "main.v2") {
    return TVexaV2Module::Create(project_, Used, Kind, Path(Leaf));
  }

  // A compile result: line infos for Lines lines, Code and Error as the
  // lines (from 1) with those bits.
  static QByteArray Infos(int Lines, std::initializer_list<int> Code,
                          std::initializer_list<int> Error = {}) {
    QByteArray infos(Lines, '\0');
    for (int line : Code) infos[line - 1] = char(infos[line - 1] | 0x01);
    for (int line : Error) infos[line - 1] = char(infos[line - 1] | 0x80);
    return infos;
  }

  TTempSettings settings_;
  TScopedFakeDialogs dialogs_;
  QTemporaryDir dir_;
  Ref<NiceMock<MockVexaProject>> project_;
  Ref<StrictMock<MockProjectEditor>> projectEditor_;
};

TEST_F(V2ModuleTest, CreationSetsNameKindAndUsedFlags) {
  Write("Motor_2.V2", "");
  const auto motor = Make(TModuleKind::Project, false, "Motor_2.V2");
  EXPECT_EQ(motor->GetName(), "motor_2");
  EXPECT_EQ(motor->GetFileTitle(), "motor_2.v2");
  EXPECT_EQ(motor->GetFileName(), Path("Motor_2.V2"));
  EXPECT_EQ(motor->GetKind(), TModuleKind::Project);
  EXPECT_FALSE(motor->IsNewFile());
  EXPECT_FALSE(motor->IsProjectFile());
  // Project modules are always used.
  EXPECT_TRUE(motor->IsUsed());
  EXPECT_TRUE(motor->NeedsCompile());
  EXPECT_EQ(motor->GetUntitledNumber(), -1);

  const auto lcd = Make(TModuleKind::System, false, "lcd.v2");
  EXPECT_TRUE(lcd->IsNewFile());
  EXPECT_FALSE(lcd->IsUsed());
  EXPECT_FALSE(lcd->NeedsCompile());
  lcd->SetUsed(true);
  EXPECT_TRUE(lcd->IsUsed());
  EXPECT_FALSE(lcd->NeedsCompile());  // needs compiling once the project says so
  lcd->SetNeedsCompile(true);
  EXPECT_TRUE(lcd->NeedsCompile());
  lcd->SetUsed(false);
  EXPECT_FALSE(lcd->NeedsCompile());

  EXPECT_TRUE(Make(TModuleKind::Common, true, "util.v2")->NeedsCompile());
}

TEST_F(V2ModuleTest, ModuleRefersToItsProjectWeakly) {
  auto module = Make();
  EXPECT_EQ(module->GetProject(), project_);
  std::weak_ptr<MockVexaProject> watch = project_;
  project_.reset();
  EXPECT_TRUE(watch.expired());
  EXPECT_EQ(module->GetProject(), nullptr);
  // Operations that notify the project do nothing without it.
  module->ToggleBreakpoint(3);
  module->TextChanged();
  EXPECT_FALSE(module->IsReadOnly());
  EXPECT_EQ(module->GetBreakpointCount(), 1);
}

TEST_F(V2ModuleTest, UntitledModulesTakeNumbersFromTheCommandModule) {
  TCommandsModule commands;
  options::DefaultProjectPath = "/projects";
  auto first = TVexaV2Module::Create(project_, true, TModuleKind::Project, QString());
  auto second = TVexaV2Module::Create(project_, true, TModuleKind::Project, QString());
  EXPECT_EQ(first->GetFileName(), "/projects/module1.v2");
  EXPECT_EQ(first->GetName(), "module1");
  EXPECT_TRUE(first->IsNewFile());
  EXPECT_EQ(second->GetFileName(), "/projects/module2.v2");
  first.reset();
  EXPECT_FALSE(commands.UntitledNumbers.InUse(1));
  EXPECT_TRUE(commands.UntitledNumbers.InUse(2));

  // A real file name gives the number back.
  EXPECT_CALL(*project_, ModuleChanged(testing::Eq(second), true));
  EXPECT_CALL(*projectEditor_, ItemChanged(testing::Eq(second)));
  second->SetFileName(Path("Robot.v2"));
  EXPECT_EQ(second->GetName(), "robot");
  EXPECT_EQ(second->GetUntitledNumber(), -1);
  EXPECT_FALSE(commands.UntitledNumbers.InUse(2));
  // The same name again changes nothing (strict mocks: no second call).
  second->SetFileName(Path("Robot.v2"));
}

TEST_F(V2ModuleTest, CanRenameToChecksTheLowerCasedName) {
  auto module = Make();
  EXPECT_CALL(*project_, IsModuleNameFree(_, _)).Times(0);
  const std::pair<const char*, const char*> bad[] = {
      {"3d.v2", "3d"}, {"A-B.V2", "a-b"}, {"/x/.v2", ""}, {"Mäuse.v2", "mäuse"}, {"a b.v2", "a b"}};
  for (const auto& [file, name] : bad) {
    dialogs_->calls.clear();
    EXPECT_FALSE(module->CanRenameTo(QString::fromUtf8(file))) << file;
    EXPECT_EQ(
        dialogs_->Texts(),
        QStringList(
            QString::fromUtf8("\"%1\" ist kein gültiger Modulname!").arg(QString::fromUtf8(name))))
        << file;
  }
  testing::Mock::VerifyAndClearExpectations(project_.get());

  dialogs_->calls.clear();
  EXPECT_CALL(*project_, IsModuleNameFree(testing::Eq(module), QString("motor_2")))
      .WillOnce(Return(true));
  EXPECT_TRUE(module->CanRenameTo(Path("Motor_2.V2")));
  EXPECT_CALL(*project_, IsModuleNameFree(testing::Eq(module), QString("_x9")))
      .WillOnce(Return(false));
  EXPECT_FALSE(module->CanRenameTo("/elsewhere/_X9.v2"));
  EXPECT_EQ(dialogs_->Texts(),
            QStringList(QString::fromUtf8(
                "Das Modul kann nicht von \"main\" zu \"_x9\" umbenannt werden, wahrscheinlich "
                "enthält das Projekt bereits ein Modul dieses Namens!")));

  // System and common modules are never renamed, and nobody is told.
  dialogs_->calls.clear();
  EXPECT_FALSE(Make(TModuleKind::System, true, "lcd.v2")->CanRenameTo("good.v2"));
  EXPECT_FALSE(Make(TModuleKind::Common, true, "util.v2")->CanRenameTo("good.v2"));
  EXPECT_TRUE(dialogs_->calls.empty());

  for (const char* good : {"_", "a", "z9_", "abc_def"}) EXPECT_TRUE(IsValidModuleName(good));
  for (const char* bad : {"", "9", "A", "a.b", "ab-"}) EXPECT_FALSE(IsValidModuleName(bad));
}

TEST_F(V2ModuleTest, LineFlagsFollowBreakpointsLineInfosAndErrors) {
  auto module = Make();
  module->ToggleBreakpoint(2);
  module->ToggleBreakpoint(3);
  // Before any compilation: breakpoints only, not on compiled text.
  EXPECT_EQ(module->GetLineFlags(2), LineFlagBreakpoint);
  EXPECT_EQ(module->GetLineFlags(1), 0);

  module->SetLineInfos(false, Infos(4, {1, 2, 4}));
  module->SetNeedsCompile(false);
  EXPECT_EQ(module->GetLineFlags(1), LineFlagCode);
  EXPECT_EQ(module->GetLineFlags(2),
            LineFlagBreakpoint | LineFlagBreakpointCompiled | LineFlagCode);
  EXPECT_EQ(module->GetLineFlags(3), LineFlagBreakpoint | LineFlagBreakpointCompiled);
  EXPECT_EQ(module->GetLineFlags(0), 0);
  EXPECT_EQ(module->GetLineFlags(5), 0);

  // With errors: never the compiled or code bits.
  module->SetLineInfos(true, Infos(4, {1, 2, 3, 4}, {3}));
  EXPECT_TRUE(module->HasErrors());
  EXPECT_EQ(module->GetLineFlags(2), LineFlagBreakpoint);
  EXPECT_EQ(module->GetLineFlags(3), LineFlagBreakpoint | LineFlagError);
  EXPECT_EQ(module->GetLineFlags(4), 0);

  // A text change makes the line infos stale.
  module->SetLineInfos(false, Infos(4, {2}));
  module->SetNeedsCompile(true);
  EXPECT_FALSE(module->HasLineInfos());
  EXPECT_EQ(module->GetLineFlags(2), LineFlagBreakpoint);
}

TEST_F(V2ModuleTest, HasErrorsAndNeedsCompileCountOnlyForUsedModules) {
  auto lcd = Make(TModuleKind::System, true, "lcd.v2");
  lcd->SetLineInfos(true, Infos(1, {}, {1}));
  EXPECT_TRUE(lcd->HasErrors());
  EXPECT_TRUE(lcd->NeedsCompile());
  lcd->SetUsed(false);
  EXPECT_FALSE(lcd->HasErrors());
  EXPECT_FALSE(lcd->NeedsCompile());
  // The line flags still show the error of the last compilation.
  EXPECT_EQ(lcd->GetLineFlags(1), LineFlagError);
}

TEST_F(V2ModuleTest, RunToLineNeedsASimulationOfThisProjectAndALineWithCode) {
  auto module = Make();
  module->SetModuleNumber(4);
  EXPECT_FALSE(module->CanRunToLine(2));
  module->RunToLine(2);  // no simulation: nothing happens

  auto simulator = std::make_shared<NiceMock<MockVexaSimulator>>();
  CurrentSimulator = simulator;
  ON_CALL(*simulator, GetProject()).WillByDefault(Return(project_));
  ON_CALL(*simulator, CanRun()).WillByDefault(Return(true));
  // Before the first compilation no line produced code.
  for (int line = 0; line <= 3; ++line) EXPECT_FALSE(module->CanRunToLine(line)) << line;

  module->SetLineInfos(false, Infos(3, {2}));
  EXPECT_TRUE(module->CanRunToLine(2));
  EXPECT_FALSE(module->CanRunToLine(1));
  EXPECT_FALSE(module->CanRunToLine(4));

  ON_CALL(*simulator, CanRun()).WillByDefault(Return(false));
  EXPECT_FALSE(module->CanRunToLine(2));
  ON_CALL(*simulator, CanRun()).WillByDefault(Return(true));
  ON_CALL(*simulator, GetProject())
      .WillByDefault(Return(std::make_shared<NiceMock<MockVexaProject>>()));
  EXPECT_FALSE(module->CanRunToLine(2));

  EXPECT_CALL(*simulator, RunToCursor(4, 7));
  module->RunToLine(7);
}

TEST_F(V2ModuleTest, BreakpointsRepaintTheEditorAndTellTheProject) {
  auto module = Make();
  auto editor = std::make_shared<StrictMock<MockVexaSourceEditor>>();
  module->SetEditor(editor);
  {
    InSequence order;
    EXPECT_CALL(*editor, RepaintLine(5));
    EXPECT_CALL(*project_, BreakpointsChanged());
    EXPECT_CALL(*editor, RepaintLine(2));
    EXPECT_CALL(*project_, BreakpointsChanged());
    EXPECT_CALL(*editor, RepaintLine(5));
    EXPECT_CALL(*project_, BreakpointsChanged());
    EXPECT_CALL(*editor, RepaintLine(-1));
    EXPECT_CALL(*project_, BreakpointsChanged());
  }
  module->ToggleBreakpoint(5);
  module->ToggleBreakpoint(2);
  EXPECT_TRUE(module->HasBreakpoints());
  EXPECT_EQ(module->GetBreakpointCount(), 2);
  EXPECT_EQ(module->GetBreakpoint(0), 2);
  EXPECT_EQ(module->GetBreakpoint(1), 5);
  module->ToggleBreakpoint(5);
  EXPECT_EQ(module->GetBreakpointCount(), 1);
  module->ClearBreakpoints();
  EXPECT_FALSE(module->HasBreakpoints());
  EXPECT_EQ(module->GetBreakpoint(0), -1);
}

TEST_F(V2ModuleTest, EditedLinesMoveTheBreakpoints) {
  auto module = Make();
  module->ToggleBreakpoint(4);
  module->ToggleBreakpoint(9);
  module->LinesInserted(2, 2);
  EXPECT_EQ(module->GetBreakpoint(0), 6);
  EXPECT_EQ(module->GetBreakpoint(1), 11);
  module->LinesDeleted(6, 3);
  EXPECT_EQ(module->GetBreakpointCount(), 2);
  EXPECT_EQ(module->GetBreakpoint(0), 6);
  EXPECT_EQ(module->GetBreakpoint(1), 8);
}

TEST_F(V2ModuleTest, ToggleUsedOnlyForSystemAndCommonModules) {
  auto main = Make();
  EXPECT_CALL(*project_, ModuleChanged(_, _)).Times(0);
  main->ToggleUsed();
  main->SetUsed(false);
  EXPECT_TRUE(main->IsUsed());
  testing::Mock::VerifyAndClearExpectations(project_.get());

  auto lcd = Make(TModuleKind::System, true, "lcd.v2");
  lcd->SetModuleNumber(3);
  {
    InSequence order;
    EXPECT_CALL(*project_, ModuleChanged(testing::Eq(lcd), true));
    EXPECT_CALL(*projectEditor_, ItemChanged(testing::Eq(lcd)));
  }
  lcd->ToggleUsed();
  EXPECT_FALSE(lcd->IsUsed());
  EXPECT_EQ(lcd->GetModuleNumber(), 0);
  // SetUsed tells nobody.
  lcd->SetModuleNumber(3);
  lcd->SetUsed(true);
  EXPECT_TRUE(lcd->IsUsed());
  EXPECT_EQ(lcd->GetModuleNumber(), 0);
}

TEST_F(V2ModuleTest, LineInfosRepaintTheEditorOnlyWhenTheyChange) {
  auto module = Make();
  auto editor = std::make_shared<StrictMock<MockVexaSourceEditor>>();
  module->SetEditor(editor);
  EXPECT_CALL(*editor, RefreshBreakpointLines()).Times(2);
  module->SetLineInfos(false, QByteArray());  // empty, but now valid: repaint
  EXPECT_TRUE(module->HasLineInfos());
  module->SetLineInfos(false, QByteArray());  // nothing new
  module->SetLineInfos(true, Infos(2, {1}));  // new bytes: repaint
  EXPECT_TRUE(module->HasErrors());
  testing::Mock::VerifyAndClearExpectations(editor.get());

  EXPECT_CALL(*editor, RefreshBreakpointLines());
  module->SetNeedsCompile(true);
  module->SetNeedsCompile(true);  // already stale: no repaint
  EXPECT_FALSE(module->HasLineInfos());
  testing::Mock::VerifyAndClearExpectations(editor.get());

  EXPECT_CALL(*editor, RefreshBreakpointLines());
  module->SetLineInfos(false, Infos(2, {1}));
  testing::Mock::VerifyAndClearExpectations(editor.get());
  {
    InSequence order;
    EXPECT_CALL(*editor, RefreshBreakpointLines());
    EXPECT_CALL(*editor, SetErrorLine(-1));
    EXPECT_CALL(*editor, SetExecutionLine(-1));
    EXPECT_CALL(*editor, SetErrorLine(-1));  // already stale: no repaint
    EXPECT_CALL(*editor, SetExecutionLine(-1));
  }
  module->ClearCompileState();
  EXPECT_FALSE(module->HasLineInfos());
  module->ClearCompileState();
}

TEST_F(V2ModuleTest, ReadOnlyWhileTheProjectRunsAndTextChangesTellTheProject) {
  auto module = Make();
  EXPECT_CALL(*project_, IsRunning()).WillOnce(Return(true)).WillOnce(Return(false));
  EXPECT_TRUE(module->IsReadOnly());
  EXPECT_FALSE(module->IsReadOnly());
  EXPECT_CALL(*project_, ModuleChanged(testing::Eq(module), false));
  module->TextChanged();

  auto editor = std::make_shared<StrictMock<MockVexaSourceEditor>>();
  module->SetEditor(editor);
  EXPECT_EQ(module->GetEditor(), editor);
  EXPECT_CALL(*editor, UpdateReadOnly());
  module->UpdateReadOnly();
}

TEST_F(V2ModuleTest, SourceFromDiskIsDecodedAsTheEditorDecodesAndCached) {
  // Windows-1252 with CR LF, and UTF-8 with LF: the text as the editor shows it.
  const std::pair<QByteArray, const char*> files[] = {
      {QByteArray("x = \"\xe4\x80\";\r\ny = 1;\r\n"), "x = \"ä€\";\r\ny = 1;\r\n"},
      {QByteArray("s = \"\xc3\xa4\";\nt = 2;"), "s = \"ä\";\nt = 2;"}};
  for (const auto& [bytes, text] : files) {
    Write("main.v2", bytes);
    auto module = Make();
    const std::optional<TSourceText> source = module->GetSource();
    ASSERT_TRUE(source);
    EXPECT_EQ(source->Text, QString::fromUtf8(text));
    EXPECT_EQ(source->LineCount, bytes.count('\n') + 1);
  }
  EXPECT_EQ(Make()->GetSource()->Text, QString::fromUtf8("s = \"ä\";\nt = 2;"));

  // The text is read once, until the compile state is cleared.
  auto module = Make();
  EXPECT_EQ(module->GetSource()->Text, QString::fromUtf8("s = \"ä\";\nt = 2;"));
  Write("main.v2", "new\r");
  EXPECT_EQ(module->GetSource()->LineCount, 2);
  module->ClearCompileState();
  const std::optional<TSourceText> fresh = module->GetSource();
  EXPECT_EQ(fresh->Text, "new\r");
  EXPECT_EQ(fresh->LineCount, 2);

  // A missing file gives an empty text and keeps asking the disk.
  auto missing = Make(TModuleKind::Project, true, "missing.v2");
  EXPECT_EQ(missing->GetSource()->Text, QString());
  EXPECT_EQ(missing->GetSource()->LineCount, 0);
  Write("missing.v2", "late");
  EXPECT_EQ(missing->GetSource()->Text, "late");
}

// Read from disk, a module gives the compilers its file's bytes (without the
// BOM): as the editor would save them unchanged, ASCII as Windows-1252.
TEST_F(V2ModuleTest, SourceFromDiskEncodesToTheFilesBytes) {
  const struct {
    QByteArray bytes;
    TTextEncoding encoding;
  } files[] = {
      {"s = 1;\r\n", TTextEncoding::Windows1252},
      {"s = \"\xE4\x80\";\n", TTextEncoding::Windows1252},
      {"s = \"\xC3\xA4\";\n", TTextEncoding::Utf8},
      {"\xEF\xBB\xBFs = \"\xC3\xA4\";\n", TTextEncoding::Utf8},
      {"\xEF\xBB\xBFs = 1;\n", TTextEncoding::Utf8},
  };
  for (const auto& [bytes, encoding] : files) {
    SCOPED_TRACE(bytes.toStdString());
    Write("main.v2", bytes);
    const std::optional<TSourceText> source = Make()->GetSource();
    ASSERT_TRUE(source);
    EXPECT_EQ(source->Encoding, encoding);
    EXPECT_EQ(EncodeWithoutBom(source->Text, source->Encoding),
              bytes.startsWith("\xEF\xBB\xBF") ? bytes.sliced(3) : bytes);
  }
  // From the editor: its encoding.
  auto module = Make();
  auto editor = std::make_shared<NiceMock<MockVexaSourceEditor>>();
  ON_CALL(*editor, GetText())
      .WillByDefault(Return(TSourceText{QString::fromUtf8("ä"), 1, TTextEncoding::Utf8}));
  module->SetEditor(editor);
  EXPECT_EQ(module->GetSource()->Encoding, TTextEncoding::Utf8);
}

TEST_F(V2ModuleTest, SourceComesFromTheBoundEditorAndSizesTheLineInfos) {
  Write("main.v2", "disk\n");
  auto module = Make();
  module->SetLineInfos(false, Infos(2, {1}));
  auto editor = std::make_shared<NiceMock<MockVexaSourceEditor>>();
  ON_CALL(*editor, GetText()).WillByDefault(Return(TSourceText{"a\nb\nc\nd", 4}));
  module->SetEditor(editor);
  const std::optional<TSourceText> source = module->GetSource();
  EXPECT_EQ(source->Text, "a\nb\nc\nd");
  EXPECT_EQ(source->LineCount, 4);
  // Line infos of four lines: the first keeps its code bit, the new ones none.
  EXPECT_EQ(module->GetLineFlags(1), LineFlagCode);
  EXPECT_EQ(module->GetLineFlags(4), 0);
  module->SetLineInfos(false, Infos(4, {1}));
  EXPECT_EQ(module->GetLineFlags(1), LineFlagCode);
}

// The editor closes with "No" to saving: its text is thrown away, and the
// next compile must read the file again.
TEST_F(V2ModuleTest, EditorClosedWithoutSavingDropsItsTextAndCountsAsChanged) {
  Write("main.v2", "on disk");
  auto module = Make();
  auto editor = std::make_shared<NiceMock<MockVexaSourceEditor>>();
  ON_CALL(*editor, GetText()).WillByDefault(Return(TSourceText{"edited", 1}));
  ON_CALL(*editor, IsTextModified()).WillByDefault(Return(true));
  module->SetEditor(editor);
  EXPECT_EQ(module->GetSource()->Text, "edited");

  EXPECT_CALL(*project_, ModuleChanged(testing::Eq(module), false));
  module->SetEditor(nullptr);
  EXPECT_EQ(module->GetEditor(), nullptr);
  EXPECT_EQ(module->GetSource()->Text, "on disk");
  testing::Mock::VerifyAndClearExpectations(project_.get());

  // Closed after saving: the file holds the text; nothing changed for the
  // compiler, but the cache still goes.
  auto saved = std::make_shared<NiceMock<MockVexaSourceEditor>>();
  ON_CALL(*saved, GetText()).WillByDefault(Return(TSourceText{"saved", 1}));
  module->SetEditor(saved);
  EXPECT_EQ(module->GetSource()->Text, "saved");
  Write("main.v2", "saved!");
  EXPECT_CALL(*project_, ModuleChanged(_, _)).Times(0);
  module->SetEditor(nullptr);
  EXPECT_EQ(module->GetSource()->Text, "saved!");
}

// Lines typed above a breakpoint and thrown away with the text: the
// breakpoint goes back onto its line of the file; shifts made before a save stay.
TEST_F(V2ModuleTest, BreakpointsGoBackToTheFileWhenTheEditedTextIsThrownAway) {
  auto module = Make();
  auto editor = std::make_shared<NiceMock<MockVexaSourceEditor>>();
  ON_CALL(*editor, IsTextModified()).WillByDefault(Return(true));
  module->SetEditor(editor);
  module->ToggleBreakpoint(5);
  module->ToggleBreakpoint(12);
  module->LinesInserted(3, 2);  // 5 -> 7, 12 -> 14
  module->TextSaved();          // the file now has the two lines
  module->LinesInserted(1, 1);  // 8, 15
  module->ToggleBreakpoint(1);  // on the new line
  module->LinesDeleted(10, 3);  // 15 -> 12
  ASSERT_EQ(module->GetBreakpointCount(), 3);
  EXPECT_EQ(module->GetBreakpoint(2), 12);

  EXPECT_CALL(*project_, BreakpointsChanged());
  module->SetEditor(nullptr);
  ASSERT_EQ(module->GetBreakpointCount(), 2);
  EXPECT_EQ(module->GetBreakpoint(0), 7);
  EXPECT_EQ(module->GetBreakpoint(1), 14);
  testing::Mock::VerifyAndClearExpectations(project_.get());

  // A saved text keeps the shifted lines, and a new editor starts afresh.
  auto saved = std::make_shared<NiceMock<MockVexaSourceEditor>>();
  module->SetEditor(saved);
  module->LinesInserted(1, 4);
  module->SetEditor(nullptr);
  EXPECT_EQ(module->GetBreakpoint(0), 11);
  module->SetEditor(editor);
  module->SetEditor(nullptr);
  EXPECT_EQ(module->GetBreakpoint(0), 11);
}

}  // namespace
}  // namespace vexa::ide
