#include "widgets/editor/EditorServices.h"

#include "model/core/CommandsModule.h"
#include "FakeDialogs.h"
#include "MockIntfs.h"
#include "model/core/Options.h"
#include "model/core/Services.h"
#include "TempSettings.h"
#include "TestApp.h"
#include "widgets/editor/VexaEditControl.h"
#include "widgets/editor/VexaLexer.h"
#include "widgets/editor/SourceEditor.h"

#include <QFile>
#include <QTabWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace vexa::ide {
namespace {

using testing::NiceMock;

// The editor as the program runs it: highlighter, search and print joined.
class EditorServicesTest : public testing::Test {
 protected:
  EditorServicesTest() {
    saved = SourceEditorHooks();
    InstallSourceEditorHooks();
    VexaIDE = ide;
    pages.resize(600, 400);
    pages.show();
  }
  ~EditorServicesTest() override {
    ClearCommandHandlers();
    VexaIDE.reset();
    SourceEditorHooks() = saved;
  }

  std::shared_ptr<TSourceEditor> Open(const QString& Name, const QByteArray& Text, int Kind) {
    const QString path = dir.filePath(Name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(Text);
    file.close();
    return TSourceEditorFactory::Create(&pages, path, Kind, nullptr);
  }

  QApplication& app = test::TestApp();
  test::TTempSettings settings;
  test::TScopedFakeDialogs dialogs;
  TCommandsModule commands;
  TSourceEditorHooks saved;
  QTemporaryDir dir;
  QTabWidget pages;
  std::shared_ptr<NiceMock<test::MockVexaIDE>> ide =
      std::make_shared<NiceMock<test::MockVexaIDE>>();
};

TEST_F(EditorServicesTest, SourcesGetTheirLanguagesLexerAndPlainFilesNone) {
  struct Case {
    const char* name;
    int kind;
    bool lexer;
    THighlighterLanguage language;
  };
  const Case cases[] = {{"motor.v2", FileKindV2Module, true, THighlighterLanguage::V2},
                        {"robot.bas", FileKindBasicProject, true, THighlighterLanguage::Basic},
                        {"notes.txt", FileKindPlain, false, THighlighterLanguage::V2}};
  for (const Case& c : cases) {
    auto editor = Open(c.name, "x = 1;\n", c.kind);
    ASSERT_TRUE(editor) << c.name;
    auto* lexer = dynamic_cast<TVexaLexer*>(editor->Control()->lexer());
    EXPECT_EQ(lexer != nullptr, c.lexer) << c.name;
    if (lexer) {
      EXPECT_EQ(lexer->Language(), c.language) << c.name;
    }
    // Settings applied again replace the lexer rather than piling them up.
    editor->ApplySettings();
    EXPECT_EQ(editor->Control()->findChildren<TVexaLexer*>().size(), c.lexer ? 1 : 0) << c.name;
    editor->Close();
  }
}

TEST_F(EditorServicesTest, SearchAndPrintCommandsAreOfferedForText) {
  auto empty = Open("empty.v2", "", FileKindV2Module);
  EXPECT_FALSE(empty->CanFind());
  EXPECT_FALSE(empty->CanPrint());

  auto editor = Open("motor.v2", "int speed;\nspeed = 3;\n", FileKindV2Module);
  EXPECT_TRUE(editor->CanFind());
  EXPECT_TRUE(editor->CanReplace());
  EXPECT_TRUE(editor->CanPrint());

  // Find next goes through the editor's own search controller.
  options::SearchText = QStringLiteral("speed");
  options::SearchInSelectionOnly = false;
  ASSERT_TRUE(editor->CanFindNext());
  editor->FindNext();
  EXPECT_EQ(editor->Control()->selectedText(), QStringLiteral("speed"));
  int line = 0, index = 0;
  editor->Control()->getCursorPosition(&line, &index);
  editor->FindNext();
  int nextLine = 0;
  editor->Control()->getCursorPosition(&nextLine, &index);
  EXPECT_EQ(editor->Control()->selectedText(), QStringLiteral("speed"));
  EXPECT_EQ(nextLine, line + 1);
  editor->Close();
  empty->Close();
}

}  // namespace
}  // namespace vexa::ide
