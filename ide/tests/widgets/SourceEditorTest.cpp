#include "widgets/editor/SourceEditor.h"

#include "FakeDialogs.h"
#include "MockIntfs.h"
#include "TempSettings.h"
#include "TestApp.h"
#include "model/commands/CommandsModule.h"
#include "model/core/Helpers.h"
#include "model/core/LineNumberList.h"
#include "model/core/Services.h"
#include "model/files/ProjectFiles.h"
#include "model/settings/Settings.h"
#include "model/text/SpecialLines.h"
#include "widgets/editor/EditorFormSheet.h"
#include "widgets/editor/SourceEditorForm.h"
#include "widgets/editor/VexaEditControl.h"
#include "widgets/mainwindow/IDEMainForm.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace vexa::ide {
namespace {

using testing::_;
using testing::NiceMock;

// The caret-move notices come with the next paint.
void Settle() {
  QCoreApplication::processEvents();
  QCoreApplication::processEvents();
}

QString NumberedLines(int Count) {
  QStringList lines;
  for (int i = 1; i <= Count; ++i) lines << QStringLiteral("line %1").arg(i);
  return lines.join(u'\n') + u'\n';
}

// A module that keeps its breakpoints as the real ones do.
class FakeModule : public NiceMock<test::MockVexaModule> {
 public:
  explicit FakeModule(const QString& FileName) : fileName(FileName) {
    ON_CALL(*this, GetLineFlags).WillByDefault([this](int Line) {
      return breakpoints.Contains(Line) ? int(LineFlagBreakpoint) : 0;
    });
    // Like the project's module: the module repaints the line.
    ON_CALL(*this, ToggleBreakpoint).WillByDefault([this](int Line) {
      breakpoints.Toggle(Line);
      if (const Ref<IVexaSourceEditor> shown = editor.lock()) shown->RepaintLine(Line);
    });
    ON_CALL(*this, LinesInserted).WillByDefault([this](int First, int Count) {
      breakpoints.LinesInserted(First, Count);
    });
    ON_CALL(*this, LinesDeleted).WillByDefault([this](int First, int Count) {
      breakpoints.LinesDeleted(First, Count);
    });
    ON_CALL(*this, GetFileName).WillByDefault([this] { return fileName; });
    ON_CALL(*this, GetFileTitle).WillByDefault([this] { return ExtractFileName(fileName); });
    ON_CALL(*this, SetFileName).WillByDefault([this](const QString& Name) { fileName = Name; });
    ON_CALL(*this, CanRenameTo).WillByDefault(testing::Return(true));
    ON_CALL(*this, SetEditor).WillByDefault([this](const Ref<IVexaSourceEditor>& Editor) {
      editor = Editor;
    });
  }

  std::vector<int> Breakpoints() const {
    std::vector<int> lines;
    for (int i = 0; i < breakpoints.Count(); ++i) lines.push_back(breakpoints.Get(i));
    return lines;
  }

  TVexaLineNumberList breakpoints;
  QString fileName;
  std::weak_ptr<IVexaSourceEditor> editor;
};

class SourceEditorTest : public testing::Test {
 protected:
  SourceEditorTest() {
    ON_CALL(*ide, SetStatusText).WillByDefault([this](int Panel, const QString& Text) {
      panels[Panel] = Text;
    });
    ON_CALL(*ide, GetActiveEditor).WillByDefault([this] { return active; });
    ON_CALL(*ide, SetActiveEditor).WillByDefault([this](const Ref<IVexaSourceEditor>& Editor) {
      active = Editor;
    });
    VexaIDE = ide;
    pages.resize(600, 400);
    pages.show();
  }

  ~SourceEditorTest() override {
    ClearCommandHandlers();
    active.reset();
    VexaIDE.reset();
  }

  std::shared_ptr<TSourceEditor> Open(const QString& FileName, TFileKind Kind) {
    return TSourceEditorFactory::Create(&pages, FileName, Kind, nullptr);
  }

  std::shared_ptr<TSourceEditor> OpenModule(const std::shared_ptr<FakeModule>& Module) {
    return std::dynamic_pointer_cast<TSourceEditor>(
        TSourceEditorFactory().CreateForModule(&pages, Module));
  }

  QString Write(const QString& Name, const QByteArray& Bytes) {
    const QString path = dir.filePath(Name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(Bytes);
    return path;
  }

  static QByteArray Read(const QString& Path) {
    QFile file(Path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }

  QString TabText(const std::shared_ptr<TSourceEditor>& Editor) {
    return pages.tabText(pages.indexOf(Editor->Sheet()));
  }

  QApplication& app = test::TestApp();
  test::TTempSettings settings;
  test::TScopedFakeDialogs dialogs;
  TCommandsModule commands;
  QTemporaryDir dir;
  QTabWidget pages;
  std::shared_ptr<NiceMock<test::MockVexaIDE>> ide =
      std::make_shared<NiceMock<test::MockVexaIDE>>();
  Ref<IVexaSourceEditor> active;
  std::map<int, QString> panels;
};

TEST_F(SourceEditorTest, BreakpointsFollowEditsThroughUndoAndRedo) {
  auto module = std::make_shared<FakeModule>(Write("m.v2", NumberedLines(20).toLatin1()));
  module->breakpoints.Toggle(10);
  auto editor = OpenModule(module);
  ASSERT_TRUE(editor);
  EXPECT_EQ(editor->Kind(), TFileKind::V2Module);
  EXPECT_EQ(module->editor.lock(), editor);
  TVexaEditControl* c = editor->Control();

  c->insertAt(QStringLiteral("a\nb\n"), 4, 0);  // two lines above line 10
  EXPECT_EQ(module->Breakpoints(), std::vector<int>{12});
  c->undo();
  EXPECT_EQ(module->Breakpoints(), std::vector<int>{10});
  c->redo();
  EXPECT_EQ(module->Breakpoints(), std::vector<int>{12});

  // A line break inside the line leaves it, one at its start moves it.
  c->setCursorPosition(11, 3);
  QTest::keyClick(c, Qt::Key_Return);
  EXPECT_EQ(module->Breakpoints(), std::vector<int>{12});
  c->setCursorPosition(11, 0);
  QTest::keyClick(c, Qt::Key_Return);
  EXPECT_EQ(module->Breakpoints(), std::vector<int>{13});

  editor->RepaintLine(-1);
  EXPECT_EQ(c->ShownLineMarker(13), LineMarkerBreakpointUnknown);
  EXPECT_EQ(c->ShownLineLook(13), LineLookInvalidBreakpoint);
  EXPECT_EQ(c->ShownLineMarker(10), 0);
  editor->Close();
}

TEST_F(SourceEditorTest, GutterClickTogglesTheModulesBreakpoint) {
  auto module = std::make_shared<FakeModule>(Write("g.v2", NumberedLines(20).toLatin1()));
  auto editor = OpenModule(module);
  TVexaEditControl* c = editor->Control();
  const long pos = c->SendScintilla(QsciScintilla::SCI_POSITIONFROMLINE, 2);
  const int y = int(c->SendScintilla(QsciScintilla::SCI_POINTYFROMPOSITION, 0, pos)) + 3;
  QTest::mousePress(c->viewport(), Qt::LeftButton, {}, QPoint(4, y));
  QTest::mouseRelease(c->viewport(), Qt::LeftButton, {}, QPoint(4, y));
  EXPECT_EQ(module->Breakpoints(), std::vector<int>{3});
  EXPECT_EQ(c->ShownLineMarker(3), LineMarkerBreakpointUnknown);
  editor->Close();
}

TEST_F(SourceEditorTest, ErrorLineGoesWithACaretMoveExecutionLineStays) {
  auto module = std::make_shared<FakeModule>(Write("e.v2", NumberedLines(20).toLatin1()));
  auto editor = OpenModule(module);
  TVexaEditControl* c = editor->Control();

  editor->SetErrorLine(7);
  Settle();
  EXPECT_EQ(c->Caret().Line, 7);
  EXPECT_EQ(c->ShownLineLook(7), LineLookError);
  QTest::keyClick(c, Qt::Key_Down);
  Settle();
  EXPECT_EQ(editor->Form()->ErrorLine, -1);
  EXPECT_EQ(c->ShownLineLook(7), 0);

  editor->SetExecutionLine(12);
  EXPECT_EQ(c->Caret().Line, 12);
  EXPECT_EQ(c->Caret().Column, 1);
  QTest::keyClick(c, Qt::Key_Down);
  Settle();
  EXPECT_EQ(editor->Form()->ExecutionLine, 12);
  EXPECT_EQ(c->ShownLineLook(12), LineLookExecution);
  EXPECT_EQ(c->ShownLineMarker(12), LineMarkerExecution);

  // A text change clears both.
  editor->SetErrorLine(3);
  c->insertAt(QStringLiteral("x"), 0, 0);
  EXPECT_EQ(editor->Form()->ExecutionLine, -1);
  EXPECT_EQ(editor->Form()->ErrorLine, -1);
  EXPECT_EQ(c->ShownLineLook(12), 0);
  editor->Close();
}

TEST_F(SourceEditorTest, ExecutionLineMovesTheCaretOnlyOntoAShownLine) {
  auto module = std::make_shared<FakeModule>(Write("x.v2", NumberedLines(20).toLatin1()));
  auto editor = OpenModule(module);
  TVexaEditControl* c = editor->Control();
  struct Case {
    const char* name;
    TCaretPos caret;
    int line;
    TCaretPos caretAfter;
    bool shown;
  } const cases[] = {
      {"onto line 12", {5, 3}, 12, {1, 12}, true},
      {"caret already on 12", {5, 12}, 12, {5, 12}, true},
      {"line 0", {4, 3}, 0, {4, 3}, false},
      {"beyond the text", {4, 3}, 99, {4, 3}, false},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    editor->SetExecutionLine(-1);
    c->SetCaret(k.caret);
    editor->SetExecutionLine(k.line);
    EXPECT_EQ(c->Caret().Line, k.caretAfter.Line);
    EXPECT_EQ(c->Caret().Column, k.caretAfter.Column);
    int shownOn = -1;
    for (int line = 1; line <= c->lines(); ++line) {
      if (c->ShownLineMarker(line) == LineMarkerExecution) shownOn = line;
    }
    EXPECT_EQ(shownOn, k.shown ? k.line : -1);
  }
  editor->Close();
}

TEST_F(SourceEditorTest, UntitledEditorsTakeTheLowestFreeNumber) {
  auto first = Open(QString(), TFileKind::BasicProject);
  auto second = Open(QString(), TFileKind::BasicProject);
  EXPECT_EQ(first->GetDisplayName(), "Unbenannt1.bas");
  EXPECT_EQ(second->GetDisplayName(), "Unbenannt2.bas");
  EXPECT_EQ(TabText(second), "Unbenannt2.bas");
  EXPECT_EQ(pages.indexOf(second->Sheet()), pages.indexOf(first->Sheet()) + 1);
  EXPECT_TRUE(first->GetModified());  // a new file asks to be saved

  EXPECT_CALL(*ide, RemoveEditor(_));
  first->Close();
  first.reset();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(pages.count(), 1);

  auto third = Open(QString(), TFileKind::V2Module);
  EXPECT_EQ(third->GetDisplayName(), "Unbenannt1.v2");
  auto plain = Open(QString(), TFileKind::Plain);
  EXPECT_EQ(plain->GetDisplayName(), "Unbenannt3");
}

TEST_F(SourceEditorTest, ModePanelShowsReadOnlyInsertAndOverwrite) {
  const QString readOnly = Write("ro.bas", "10 PRINT 1\n");
  QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
  auto locked = Open(readOnly, TFileKind::BasicProject);
  locked->FocusEntered();
  EXPECT_TRUE(locked->Control()->isReadOnly());
  EXPECT_EQ(panels[2], "Nur lesen");

  auto open = Open(Write("rw.bas", "10 PRINT 1\n"), TFileKind::BasicProject);
  open->FocusEntered();
  EXPECT_EQ(panels[2], "Einfügen");
  QTest::keyClick(open->Control(), Qt::Key_Insert);
  EXPECT_EQ(panels[2], "Überschreiben");
}

TEST_F(SourceEditorTest, CaretAndModifiedPanels) {
  const QString name = Write("p.v2", "a\nb\nthird line\n");
  auto editor = Open(name, TFileKind::V2Module);
  editor->FocusEntered();
  TVexaEditControl* c = editor->Control();
  c->setCursorPosition(2, 4);
  Settle();
  EXPECT_EQ(panels[0], "      3:  5 ");
  EXPECT_EQ(panels[1], "");
  QTest::keyClicks(c, "x");
  EXPECT_EQ(panels[1], "Verändert");
  EXPECT_TRUE(editor->Save());
  EXPECT_EQ(panels[1], "");
  EXPECT_EQ(Read(name), "a\nb\nthirxd line\n");
}

TEST_F(SourceEditorTest, WindowsEncodedFileKeepsItsBytesAndLineEnds) {
  const QString name = Write("enc.v2",
                             "x := \"Gr\xF6\xDF"
                             "e\";\r\nzwei\r\n");
  auto editor = Open(name, TFileKind::V2Module);
  TVexaEditControl* c = editor->Control();
  EXPECT_EQ(c->text(0), QString::fromUtf8("x := \"Größe\";\r\n"));
  c->insertAt(QStringLiteral("y"), 1, 0);
  c->setCursorPosition(1, 5);
  QTest::keyClick(c, Qt::Key_Return);
  ASSERT_TRUE(editor->Save());
  EXPECT_EQ(Read(name), QByteArray("x := \"Gr\xF6\xDF"
                                   "e\";\r\nyzwei\r\n\r\n"));
}

// Types Text as key presses, one character each (QTest::keyClicks drops
// characters outside Latin-1).
void Type(QWidget* Widget, const QString& Text) {
  for (QChar c : Text) QTest::sendKeyEvent(QTest::Click, Widget, Qt::Key_unknown, QString(c), {});
}

// V2 modules and VXBasic programs are Windows-1252 while every character
// fits: ASCII files and new ones included, never a mix. A file that came as
// UTF-8 stays so; other files take ASCII as UTF-8. What the editor hands the
// compilers is what the save writes, without the BOM.
TEST_F(SourceEditorTest, ToolSourcesAreWindows1252WhileTheirTextFits) {
  const QByteArray bom = "\xEF\xBB\xBF";
  struct Case {
    const char* name;
    const char* file;  // none: a new file
    TFileKind kind;
    QByteArray bytes;
    QString typed;
    QByteArray saved;
  } const cases[] = {
      {"ascii module", "a.v2", TFileKind::V2Module, "s;\n", "ä€", "s;\n\xE4\x80"},
      {"ascii program", "a.bas", TFileKind::BasicProject, "REM\r\n", "ä€", "REM\r\n\xE4\x80"},
      {"new module", nullptr, TFileKind::V2Module, {}, "ä€", "\xE4\x80"},
      {"new program", nullptr, TFileKind::BasicProject, {}, "ä€", "\xE4\x80"},
      {"ascii module beyond windows-1252", "a.v2", TFileKind::V2Module, "s;\n", "äΩ",
       "s;\n\xC3\xA4\xCE\xA9"},
      {"new module beyond windows-1252",
       nullptr,
       TFileKind::V2Module,
       {},
       "€Ω",
       "\xE2\x82\xAC\xCE\xA9"},
      {"windows-1252 module", "a.v2", TFileKind::V2Module, "\xF6;\n", "ä€", "\xF6;\n\xE4\x80"},
      {"utf-8 module", "a.v2", TFileKind::V2Module, "\xC3\xB6;\n", "ä€",
       "\xC3\xB6;\n\xC3\xA4\xE2\x82\xAC"},
      {"ascii module with a bom", "a.v2", TFileKind::V2Module, bom + "s;\n", "ä€",
       bom + "s;\n\xC3\xA4\xE2\x82\xAC"},
      {"ascii plain file", "a.txt", TFileKind::Plain, "s;\n", "ä€", "s;\n\xC3\xA4\xE2\x82\xAC"},
      {"ascii project file", "a.v2p", TFileKind::V2Project, "s;\n", "ä€",
       "s;\n\xC3\xA4\xE2\x82\xAC"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const QString name = c.file ? Write(c.file, c.bytes) : QString();
    auto editor = Open(name, c.kind);
    editor->Control()->SendScintilla(QsciScintilla::SCI_DOCUMENTEND);
    Type(editor->Control(), c.typed);
    const std::optional<TSourceText> text = editor->GetText();
    ASSERT_TRUE(text);
    ASSERT_EQ(text->Text, DecodeText(c.saved).Text);
    const QByteArray handed = EncodeWithoutBom(text->Text, text->Encoding);
    if (c.file) {
      ASSERT_TRUE(editor->Save());
    } else {
      dialogs->fileAnswers.push_back(
          QStringList{dir.filePath(c.kind == TFileKind::BasicProject ? "n.bas" : "n.v2")});
      ASSERT_TRUE(editor->SaveAsDialog());
    }
    const QByteArray saved = Read(editor->GetFileName());
    EXPECT_EQ(saved, c.saved);
    EXPECT_EQ(handed, saved.startsWith(bom) ? saved.sliced(3) : saved);
    // Saved, the text hands the compilers the same bytes.
    const std::optional<TSourceText> after = editor->GetText();
    EXPECT_EQ(EncodeWithoutBom(after->Text, after->Encoding), handed);
    editor->Close();
  }
  // The save dialogs of the three new files, nothing else.
  EXPECT_EQ(dialogs->calls.size(), 3u);
  for (const auto& call : dialogs->calls)
    EXPECT_EQ(call.kind, test::TFakeDialogs::Kind::FileDialog) << call.text.toStdString();
}

TEST_F(SourceEditorTest, EveryByteIsShownAndSavedAgain) {
  QByteArray binary;
  quint32 seed = 1;
  for (int i = 0; i < 10 * 1024; ++i) {
    seed = seed * 1103515245u + 12345u;
    binary.append(char(i == 0 ? 0 : seed >> 24));
  }
  using namespace Qt::Literals::StringLiterals;
  struct Case {
    const char* name;
    QByteArray bytes;
  } const cases[] = {
      {"nul inside a line", "abc\0def\nline2\n"_ba},
      {"windows-1252 with nuls",
       "\0Gr\xF6\xDF"
       "e\0\r\nzwei\r\n"_ba},
      {"two boms and a nul", "\xEF\xBB\xBF\xEF\xBB\xBFx\0y\n"_ba},
      {"binary starting with a nul", binary},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const QString name = Write("bytes.v2", c.bytes);
    auto editor = Open(name, TFileKind::V2Module);
    TVexaEditControl* control = editor->Control();
    EXPECT_EQ(WholeText(control), DecodeText(c.bytes).Text);
    EXPECT_FALSE(control->isReadOnly());
    control->SendScintilla(QsciScintilla::SCI_DOCUMENTEND);
    QTest::keyClicks(control, "X");
    const std::optional<TSourceText> text = editor->GetText();
    ASSERT_TRUE(text);
    EXPECT_EQ(text->Text, DecodeText(c.bytes + "X").Text);
    ASSERT_TRUE(editor->Save());
    EXPECT_EQ(Read(name), c.bytes + "X");
    editor->Close();
  }
  EXPECT_TRUE(dialogs->Texts().isEmpty());
}

TEST_F(SourceEditorTest, FailedSaveAsKeepsNameAndModifiedState) {
  for (bool withModule : {false, true}) {
    SCOPED_TRACE(withModule ? "module" : "loose file");
    auto module = std::make_shared<FakeModule>(QString());
    auto editor = withModule ? OpenModule(module) : Open(QString(), TFileKind::V2Module);
    const QString caption = TabText(editor);
    QTest::keyClicks(editor->Control(), "abc");

    const QString bad = QStringLiteral("/nonexistent-dir/x.v2");
    dialogs->fileAnswers.push_back(QStringList{bad});
    EXPECT_CALL(*module, SetFileName(_)).Times(0);
    EXPECT_FALSE(editor->SaveAsDialog());
    EXPECT_EQ(dialogs->Texts().last(), "Fehler beim Schreiben der Datei \"" + bad + "\"!");
    EXPECT_TRUE(editor->GetFileName().isEmpty());
    EXPECT_TRUE(editor->GetModified());
    EXPECT_EQ(TabText(editor), caption);
    EXPECT_FALSE(QFile::exists(bad));
    if (!withModule) {
      EXPECT_EQ(editor->UntitledNumber(), 1);
      EXPECT_TRUE(editor->IsNewFile());
    }
    testing::Mock::VerifyAndClearExpectations(module.get());

    const QString good = dir.filePath(withModule ? "mod.v2" : "loose.v2");
    dialogs->fileAnswers.push_back(QStringList{good});
    EXPECT_TRUE(editor->SaveAsDialog());
    EXPECT_EQ(editor->GetFileName(), good);
    EXPECT_EQ(TabText(editor), withModule ? "mod.v2" : "loose.v2");
    EXPECT_FALSE(editor->GetModified());
    EXPECT_EQ(editor->UntitledNumber(), -1);
    EXPECT_EQ(Read(good), "abc");
    editor->Close();
  }
}

TEST_F(SourceEditorTest, CloseQueryAsksOnlyForAModifiedText) {
  struct Case {
    int answer;
    bool result;
    QByteArray onDisk;
  } const cases[] = {
      {IdYes, true, "xold\n"},
      {IdNo, true, "old\n"},
      {IdCancel, false, "old\n"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.answer);
    const QString name = Write("q.v2", "old\n");
    auto editor = Open(name, TFileKind::V2Module);
    EXPECT_TRUE(editor->CloseQuery());
    EXPECT_TRUE(dialogs->calls.empty());
    QTest::keyClicks(editor->Control(), "x");
    dialogs->confirmCancelAnswers.push_back(k.answer);
    EXPECT_EQ(editor->CloseQuery(), k.result);
    EXPECT_EQ(dialogs->Texts().last(), "Soll der geänderte Quelltext gespeichert werden?");
    EXPECT_EQ(Read(name), k.onDisk);
    dialogs->calls.clear();
    editor->Close();
  }
}

// A save overwrites what another program wrote since the editor read or
// wrote the file only after "Ja"; "Nein" writes nothing and keeps the text
// modified. The editor's own saves ask nothing.
TEST_F(SourceEditorTest, SaveAsksBeforeOverwritingAnotherProgramsChange) {
  for (bool overwrite : {false, true}) {
    SCOPED_TRACE(overwrite);
    const QString name = Write("other.v2", "eins\n");
    auto editor = Open(name, TFileKind::V2Module);
    QTest::keyClicks(editor->Control(), "x");
    ASSERT_TRUE(editor->Save());
    EXPECT_TRUE(dialogs->calls.empty());
    {
      QFile file(name);
      ASSERT_TRUE(file.open(QIODevice::Append));
      file.write("zwei\n");
    }
    QTest::keyClicks(editor->Control(), "y");
    dialogs->confirmAnswers.push_back(overwrite);
    EXPECT_EQ(editor->Save(), overwrite);
    ASSERT_EQ(dialogs->calls.size(), 1u);
    EXPECT_EQ(dialogs->calls[0].kind, test::TFakeDialogs::Kind::Confirm);
    EXPECT_EQ(dialogs->calls[0].text, "Die Datei \"" + name +
                                          "\" wurde außerhalb der Entwicklungsumgebung geändert. "
                                          "Trotzdem speichern?");
    EXPECT_EQ(Read(name), overwrite ? "xyeins\n" : "xeins\nzwei\n");
    EXPECT_EQ(editor->GetModified(), !overwrite);
    dialogs->calls.clear();
    editor->Close();
  }
}

// Writable files in a folder that cannot be written are saved in place: the
// source, the project file and the state file.
TEST_F(SourceEditorTest, WritableFilesInAReadOnlyFolderAreSaved) {
  const QString folder = dir.filePath("ro");
  ASSERT_TRUE(QDir().mkdir(folder));
  const QString source = Write("ro/p.bas", "10 END\n");
  const QString project = Write("ro/p.v2p", "alt\r\n");
  Write("ro/p.v2p.ide", "alt");
  const QFile::Permissions writable = QFile::permissions(folder);
  QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
  struct Restore {
    QString folder;
    QFile::Permissions permissions;
    ~Restore() { QFile::setPermissions(folder, permissions); }
  } restore{folder, writable};
  if (QFile probe(folder + "/probe"); probe.open(QIODevice::WriteOnly)) {
    probe.remove();
    GTEST_SKIP() << "this user (root) may write the read-only folder anyway";
  }
  auto editor = Open(source, TFileKind::BasicProject);
  QTest::keyClicks(editor->Control(), "5 REM");
  QTest::keyClick(editor->Control(), Qt::Key_Return);
  EXPECT_TRUE(editor->Save());
  EXPECT_TRUE(dialogs->calls.empty());
  EXPECT_EQ(Read(source), "5 REM\n10 END\n");
  editor->Close();

  EXPECT_TRUE(WriteTextLines(project, {"neu"}));
  EXPECT_EQ(Read(project), "neu\r\n");
  const TProjectState state{{{"main", {3}}}, {}};
  WriteStateFile(project, false, state);
  EXPECT_EQ(Read(project + ".ide"), StateFileBytes(false, state));
}

TEST_F(SourceEditorTest, FocusInstallsHandlersAndALateFocusLossLeavesTheNextEditors) {
  auto a = Open(Write("a.v2", "a\n"), TFileKind::V2Module);
  auto b = Open(Write("b.v2", "b\n"), TFileKind::V2Module);
  auto own = [](const std::shared_ptr<TSourceEditor>& e) {
    return EditCommandHandler.get() == static_cast<IEditCommands*>(e.get()) &&
           FileCommandHandler.get() == static_cast<IFileCommands*>(e.get()) &&
           DebugCommandHandler.get() == static_cast<IDebugCommands*>(e.get()) &&
           SearchCommandHandler.get() == static_cast<ISearchCommands*>(e.get()) &&
           ProjectCommandHandler == e->ProjectCommands();
  };
  a->FocusEntered();
  EXPECT_TRUE(own(a));
  b->FocusEntered();
  a->FocusLeft();  // arrives after b's activation
  EXPECT_TRUE(own(b));
  EXPECT_EQ(active, b);

  // A context menu's focus loss keeps them, a real one removes them.
  QFocusEvent popup(QEvent::FocusOut, Qt::PopupFocusReason);
  QCoreApplication::sendEvent(b->Control(), &popup);
  EXPECT_TRUE(own(b));
  EXPECT_CALL(*ide, ClearStatusPanels());
  QFocusEvent tab(QEvent::FocusOut, Qt::TabFocusReason);
  QCoreApplication::sendEvent(b->Control(), &tab);
  testing::Mock::VerifyAndClearExpectations(ide.get());
  EXPECT_FALSE(EditCommandHandler || FileCommandHandler || DebugCommandHandler ||
               SearchCommandHandler || ProjectCommandHandler);
  EXPECT_EQ(active, nullptr);
}

// The real main window with a module's new editor in its pages, focused: keys
// and clicks take the ways a person's take.
class EditorInMainWindow : public testing::Test {
 protected:
  void SetUp() override {
    settings::WriteBool("Misc", "ShowTipOfTheDay", false);
    window = std::make_unique<TIDEMainForm>();
    window->resize(1000, 700);
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    editor = std::dynamic_pointer_cast<TSourceEditor>(
        TSourceEditorFactory().CreateForModule(window->PageControl(), module));
    ASSERT_TRUE(editor);
    control = editor->Control();
    Settle();
    ASSERT_TRUE(control->hasFocus());
  }
  void TearDown() override {
    if (editor) editor->Close();
    QCoreApplication::processEvents();
    window.reset();
    ReleaseServices();
  }

  // Just right of the left edge of the character at Column of Line (1-based).
  QPoint CharPoint(int Line, int Column) {
    const long pos = control->SendScintilla(QsciScintilla::SCI_FINDCOLUMN, Line - 1, Column - 1);
    const int x = int(control->SendScintilla(QsciScintilla::SCI_POINTXFROMPOSITION, 0, pos));
    const int y = int(control->SendScintilla(QsciScintilla::SCI_POINTYFROMPOSITION, 0, pos));
    return {x + 1, y + control->textHeight(Line - 1) / 2};
  }

  QApplication& app = test::TestApp();
  test::TTempSettings settings;
  test::TScopedFakeDialogs dialogs;
  QTemporaryDir dir;
  std::shared_ptr<FakeModule> module = std::make_shared<FakeModule>(dir.filePath("new.v2"));
  std::unique_ptr<TIDEMainForm> window;
  std::shared_ptr<TSourceEditor> editor;
  TVexaEditControl* control = nullptr;
};

// A right click by mouse puts the caret where it was made, unless it hits the
// selection; in the gutter at the start of the line. The menu keys leave caret
// and selection alone.
TEST_F(EditorInMainWindow, ARightClickActsWhereItWasMadeTheMenuKeyWhereTheCaretIs) {
  control->setText(QStringLiteral("// Zaehler\nfirst := 1;\ncounter := counter + 1;\nfourth\n"));
  control->SetCaret({1, 1});
  Settle();
  QMenu* menu = editor->Form()->lmnuSourceEditor;
  auto item = [menu](const QString& Text) -> QAction* {
    for (QAction* a : menu->actions())
      if (a->text() == Text) return a;
    return nullptr;
  };
  auto rightClick = [&](QPoint Pos) {
    QContextMenuEvent event(QContextMenuEvent::Mouse, Pos, control->viewport()->mapToGlobal(Pos));
    QApplication::sendEvent(control->viewport(), &event);
    Settle();
    EXPECT_TRUE(menu->isVisible());
  };
  auto closeMenu = [&] {
    menu->close();
    Settle();
  };

  // On "counter" of line 3: the watch item is offered, the breakpoint goes there.
  rightClick(CharPoint(3, 4));
  QAction* watch = item(QStringLiteral("&Variable überwachen"));
  QAction* breakpoint = item(QStringLiteral("Haltepunkt umschalten"));
  ASSERT_TRUE(watch && breakpoint);
  EXPECT_TRUE(watch->isEnabled());
  QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(breakpoint).center());
  Settle();
  EXPECT_FALSE(menu->isVisible());
  EXPECT_EQ(module->Breakpoints(), std::vector<int>{3});
  EXPECT_EQ(control->Caret().Line, 3);
  EXPECT_EQ(control->Caret().Column, 4);

  // Inside the selection it stays; outside it goes.
  control->setSelection(3, 0, 3, 6);
  rightClick(CharPoint(4, 3));
  closeMenu();
  EXPECT_EQ(control->selectedText(), "fourth");
  rightClick(CharPoint(2, 2));
  closeMenu();
  EXPECT_FALSE(control->hasSelectedText());
  EXPECT_EQ(control->Caret().Line, 2);
  EXPECT_EQ(control->Caret().Column, 2);

  // The gutter: the start of the clicked line.
  rightClick({4, CharPoint(3, 1).y()});
  closeMenu();
  EXPECT_EQ(control->Caret().Line, 3);
  EXPECT_EQ(control->Caret().Column, 1);

  // Shift+F10 opens the menu at the caret and moves nothing.
  control->setSelection(3, 1, 3, 4);
  QTest::keyClick(control, Qt::Key_F10, Qt::ShiftModifier);
  Settle();
  EXPECT_TRUE(menu->isVisible());
  closeMenu();
  EXPECT_EQ(control->selectedText(), "our");
  EXPECT_EQ(control->Caret().Line, 4);
  EXPECT_EQ(control->Caret().Column, 5);
}

// Typing is taken back a line at a time; a paste and an indent in one step.
TEST_F(EditorInMainWindow, OneUndoTakesBackAtMostOneTypedLine) {
  auto text = [this] { return WholeText(control).toStdString(); };
  auto firstLines = [](int Count) {
    std::string lines;
    for (int i = 1; i <= Count; ++i) lines += "line " + std::to_string(i) + "\n";
    return lines;
  };
  for (int i = 1; i <= 11; ++i) {
    QTest::keyClicks(control, QStringLiteral("line %1").arg(i));
    if (i < 11) QTest::keyClick(control, Qt::Key_Return);
  }
  ASSERT_EQ(text(), firstLines(10) + "line 11");
  QTest::keyClick(control, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(text(), firstLines(10));
  QTest::keyClick(control, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(text(), firstLines(9));

  const std::string before = text();
  QApplication::clipboard()->setText(QStringLiteral("a\nb\nc\n"));
  QTest::keyClick(control, Qt::Key_V, Qt::ControlModifier);
  ASSERT_EQ(text(), before + "a\nb\nc\n");
  QTest::keyClick(control, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(text(), before);

  control->setSelection(0, 0, 5, 0);
  QTest::keyClick(control, Qt::Key_I, Qt::ControlModifier | Qt::ShiftModifier);
  ASSERT_EQ(text().substr(0, 20), "  line 1\n  line 2\n  ");
  QTest::keyClick(control, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(text(), before);
}

// After Ctrl+Shift+C the selecting keys make a block and the bare keys move
// the caret, until Ctrl+Shift+N.
TEST_F(EditorInMainWindow, ColumnModeSelectsABlockWithShiftUntilNormalMode) {
  control->setText(QStringLiteral("abcdef\nghijkl\nmnopqr\nstuvwx\n"));
  control->SetCaret({2, 1});
  auto send = [&](int Key, Qt::KeyboardModifiers Modifiers = {}) {
    QTest::keyClick(control, Qt::Key(Key), Modifiers);
  };
  auto block = [&] {
    std::vector<std::pair<long, long>> ranges;
    if (!control->SendScintilla(QsciScintilla::SCI_SELECTIONISRECTANGLE)) return ranges;
    const long n = control->SendScintilla(QsciScintilla::SCI_GETSELECTIONS);
    for (long i = 0; i < n; ++i)
      ranges.emplace_back(control->SendScintilla(QsciScintilla::SCI_GETSELECTIONNSTART, i),
                          control->SendScintilla(QsciScintilla::SCI_GETSELECTIONNEND, i));
    return ranges;
  };
  using Ranges = std::vector<std::pair<long, long>>;

  send(Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
  send(Qt::Key_Down, Qt::ShiftModifier);
  send(Qt::Key_Right, Qt::ShiftModifier);
  EXPECT_EQ(block(), (Ranges{{1, 2}, {8, 9}}));  // "b" over "h"
  send(Qt::Key_End, Qt::ShiftModifier);
  EXPECT_EQ(block(), (Ranges{{1, 6}, {8, 13}}));
  send(Qt::Key_Down);
  EXPECT_FALSE(control->hasSelectedText());
  EXPECT_EQ(control->Caret().Line, 3);
  send(Qt::Key_Left, Qt::ShiftModifier);
  send(Qt::Key_Up, Qt::ShiftModifier);
  EXPECT_EQ(block().size(), 2u);

  send(Qt::Key_N, Qt::ControlModifier | Qt::ShiftModifier);
  send(Qt::Key_Right);
  EXPECT_FALSE(control->hasSelectedText());
  send(Qt::Key_Down, Qt::ShiftModifier);
  EXPECT_TRUE(control->hasSelectedText());
  EXPECT_TRUE(block().empty()) << "a stream selection again";
}

}  // namespace
}  // namespace vexa::ide
