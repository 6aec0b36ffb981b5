#include "widgets/editor/EditorServices.h"

#include "FakeDialogs.h"
#include "MockIntfs.h"
#include "TempSettings.h"
#include "TestApp.h"
#include "model/commands/CommandsModule.h"
#include "model/core/Services.h"
#include "model/settings/Options.h"
#include "widgets/editor/PrintSourceDialog.h"
#include "widgets/editor/SourceEditor.h"
#include "widgets/editor/SourcePrinter.h"
#include "widgets/editor/VexaEditControl.h"
#include "widgets/editor/VexaLexer.h"

#include <QFile>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

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

  std::shared_ptr<TSourceEditor> Open(const QString& Name, const QByteArray& Text, TFileKind Kind) {
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
    TFileKind kind;
    bool lexer;
    THighlighterLanguage language;
  };
  const Case cases[] = {{"motor.v2", TFileKind::V2Module, true, THighlighterLanguage::V2},
                        {"robot.bas", TFileKind::BasicProject, true, THighlighterLanguage::Basic},
                        {"notes.txt", TFileKind::Plain, false, THighlighterLanguage::V2}};
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

// Prints Editor into the PDF file File (chosen in the options' set-up) and
// gives the printout's title back ("" when none was found).
QString PrintedTitle(TSourceEditor& Editor, const QString& File) {
  TPrintDialogRunner saved = SetPrintDialogRunner([&](QDialog& d) {
    if (auto* options = qobject_cast<TPrintSourceDialog*>(&d)) {
      options->btnPrinterSetup->click();
      d.accept();
      return d.result();
    }
    if (auto* setup = qobject_cast<QPrintDialog*>(&d)) {
      // The dialog's default output file is made from this name: no folder.
      EXPECT_EQ(setup->printer()->docName(), QFileInfo(setup->printer()->docName()).fileName());
      setup->printer()->setOutputFormat(QPrinter::PdfFormat);
      setup->printer()->setOutputFileName(File);
      return int(QDialog::Accepted);
    }
    return int(QDialog::Rejected);
  });
  // A dialog that does not go through the runner is closed.
  QTimer guard;
  guard.setInterval(500);
  QObject::connect(&guard, &QTimer::timeout, [] {
    if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) d->reject();
  });
  guard.start();
  Editor.Print();
  SetPrintDialogRunner(saved);
  QFile pdf(File);
  if (!pdf.open(QIODevice::ReadOnly)) return {};
  // The document title: a UTF-16 text with its byte order mark.
  const QByteArray data = pdf.readAll();
  const qsizetype start = data.indexOf("/Title (\xfe\xff");
  if (start < 0) return {};
  QString title;
  for (qsizetype i = start + 10; i + 1 < data.size() && data[i] != ')';) {
    char bytes[2];
    for (char& b : bytes) {
      if (data[i] == '\\') ++i;
      b = data[i++];
    }
    title += QChar(char16_t((uchar(bytes[0]) << 8) | uchar(bytes[1])));
  }
  return title;
}

// The printout is titled with the file's name and directory; an untitled
// text with its display name.
TEST_F(EditorServicesTest, PrintoutTitleIsTheFileNameWithItsDirectory) {
  auto saved = Open("motor.v2", "int speed;\n", TFileKind::V2Module);
  ASSERT_TRUE(saved);
  EXPECT_EQ(PrintedTitle(*saved, dir.filePath("saved.pdf")), dir.filePath("motor.v2"));

  auto untitled = TSourceEditorFactory::Create(&pages, QString(), TFileKind::V2Module, nullptr);
  ASSERT_TRUE(untitled);
  untitled->Control()->setText("int speed;\n");
  ASSERT_TRUE(untitled->GetDisplayName().startsWith("Unbenannt"));
  EXPECT_EQ(PrintedTitle(*untitled, dir.filePath("untitled.pdf")), untitled->GetDisplayName());
}

TEST_F(EditorServicesTest, SearchAndPrintCommandsAreOfferedForText) {
  auto empty = Open("empty.v2", "", TFileKind::V2Module);
  EXPECT_FALSE(empty->CanFind());
  EXPECT_FALSE(empty->CanPrint());

  auto editor = Open("motor.v2", "int speed;\nspeed = 3;\n", TFileKind::V2Module);
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
