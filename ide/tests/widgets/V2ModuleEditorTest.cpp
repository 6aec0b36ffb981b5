// A V2 module bound to the real source editor.

#include "model/projects/V2Module.h"

#include "FakeDialogs.h"
#include "MockIntfs.h"
#include "TempSettings.h"
#include "TestApp.h"
#include "model/commands/CommandsModule.h"
#include "model/core/Services.h"
#include "widgets/editor/SourceEditor.h"
#include "widgets/editor/VexaEditControl.h"

#include <QFile>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace vexa::ide {
namespace {

using testing::NiceMock;

class V2ModuleEditorTest : public testing::Test {
 protected:
  V2ModuleEditorTest() {
    VexaIDE = ide;
    ON_CALL(*project, ModuleChanged)
        .WillByDefault([this](const Ref<IVexaModule>&, bool Structural) {
          changes << (Structural ? "structural" : "text");
        });
    pages.resize(600, 400);
    pages.show();
  }
  ~V2ModuleEditorTest() override {
    ClearCommandHandlers();
    VexaIDE.reset();
  }

  QString Write(const QString& Name, const QByteArray& Bytes) {
    const QString path = dir.filePath(Name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(Bytes);
    return path;
  }

  std::shared_ptr<TSourceEditor> Open(const Ref<TVexaV2Module>& Module) {
    return std::dynamic_pointer_cast<TSourceEditor>(
        TSourceEditorFactory().CreateForModule(&pages, Module));
  }

  QApplication& app = test::TestApp();
  test::TTempSettings settings;
  test::TScopedFakeDialogs dialogs;
  TCommandsModule commands;
  QTemporaryDir dir;
  QTabWidget pages;
  std::shared_ptr<NiceMock<test::MockVexaIDE>> ide =
      std::make_shared<NiceMock<test::MockVexaIDE>>();
  std::shared_ptr<NiceMock<test::MockVexaProject>> project =
      std::make_shared<NiceMock<test::MockVexaProject>>();
  QStringList changes;
};

TEST_F(V2ModuleEditorTest, WindowsEncodedSourceIsTheSameFromDiskAndFromTheEditor) {
  const QString name = Write("main.v2", "x := \"Gr\xF6\xDF\x80\";\r\nzwei\r\n");
  auto fromDisk = TVexaV2Module::Create(project, true, TModuleKind::Project, name)->GetSource();
  auto module = TVexaV2Module::Create(project, true, TModuleKind::Project, name);
  auto editor = Open(module);
  ASSERT_TRUE(editor);
  auto fromEditor = module->GetSource();
  ASSERT_TRUE(fromDisk && fromEditor);
  EXPECT_EQ(fromDisk->Text, QString::fromUtf8("x := \"Größ€\";\r\nzwei\r\n"));
  EXPECT_EQ(fromEditor->Text, fromDisk->Text);
  EXPECT_EQ(fromEditor->LineCount, fromDisk->LineCount);
  EXPECT_EQ(fromDisk->LineCount, 3);
  editor->Close();
}

TEST_F(V2ModuleEditorTest, TextAfterANulReachesTheCompilerAndTheDisk) {
  const QByteArray bytes("x := 1;\0y := 2;\r\nz := 3;\r\n", 26);
  const QString name = Write("main.v2", bytes);
  auto module = TVexaV2Module::Create(project, true, TModuleKind::Project, name);
  auto editor = Open(module);
  ASSERT_TRUE(editor);
  editor->Control()->SendScintilla(QsciScintilla::SCI_DOCUMENTEND);
  QTest::keyClicks(editor->Control(), "X");
  const auto source = module->GetSource();
  ASSERT_TRUE(source);
  EXPECT_EQ(source->Text, QString::fromLatin1(bytes + "X"));
  EXPECT_EQ(source->LineCount, 3);
  ASSERT_TRUE(editor->Save());
  QFile file(name);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), bytes + "X");
  editor->Close();
}

TEST_F(V2ModuleEditorTest, ClosingWithNoGivesTheNextCompileTheFileOnDisk) {
  struct Case {
    int answer;
    QString nextSource;
    QStringList changesAtClose;
  } const cases[] = {
      {IdNo, "old\n", {"text"}},
      {IdYes, "xold\n", {}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.answer);
    const QString name = Write("main.v2", "old\n");
    auto module = TVexaV2Module::Create(project, true, TModuleKind::Project, name);
    auto editor = Open(module);
    ASSERT_EQ(module->GetEditor(), editor);
    QTest::keyClicks(editor->Control(), "x");
    EXPECT_EQ(module->GetSource()->Text, "xold\n");
    changes.clear();

    dialogs->confirmCancelAnswers.push_back(k.answer);
    ASSERT_TRUE(editor->CloseQuery());
    editor->Close();
    EXPECT_EQ(module->GetEditor(), nullptr);
    EXPECT_EQ(changes, k.changesAtClose);
    EXPECT_EQ(module->GetSource()->Text, k.nextSource);
    EXPECT_EQ(module->GetSource()->LineCount, 2);
  }
}

}  // namespace
}  // namespace vexa::ide
