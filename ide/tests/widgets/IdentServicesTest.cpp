#include "widgets/editor/IdentifierCompletionForm.h"

#include "FakeDialogs.h"
#include "MockIntfs.h"
#include "TempSettings.h"
#include "TestApp.h"
#include "model/core/Services.h"
#include "widgets/editor/SourceEditor.h"
#include "widgets/editor/VexaEditControl.h"
#include "widgets/mainwindow/ShortcutFilter.h"
#include "widgets/shared/CommandsDataModule.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QListWidget>
#include <QMainWindow>
#include <QMenuBar>
#include <QScreen>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

namespace vexa::ide {
namespace {

using testing::_;
using testing::NiceMock;
using testing::Return;

const QStringList kItems = {QStringLiteral("speed (variable)"), QStringLiteral("spin (function)")};

// A main window with the command module, its actions in menus, the shortcut
// filter and one V2 module's editor holding "x = motor.sp;".
class IdentServicesTest : public testing::Test {
 protected:
  void SetUp() override {
    test::TestApp();
    VexaIDE = ide;
    ON_CALL(*module, GetProject).WillByDefault([this] { return moduleProject; });
    ON_CALL(*module, GetFileName).WillByDefault(Return(dir.filePath("m.v2")));
    ON_CALL(*module, GetFileTitle).WillByDefault(Return(QStringLiteral("m.v2")));
    QFile file(dir.filePath("m.v2"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("x = motor.sp;\ny = 1;\n");
    file.close();

    window = std::make_unique<QMainWindow>();
    pages = new QTabWidget(window.get());
    window->setCentralWidget(pages);
    commands = new TCommandsDataModule(window.get());
    for (auto* list : {&commands->actlStandard, &commands->actlView, &commands->actlDevelopment}) {
      QMenu* menu = window->menuBar()->addMenu("m");
      menu->addActions(*list);
    }
    filter = std::make_unique<TShortcutFilter>(window.get());
    window->resize(600, 400);
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    editor = TSourceEditorFactory::Create(pages, QString(), TFileKind::V2Module, module);
    ASSERT_TRUE(editor);
    control = editor->Control();
    control->setFocus();
    QCoreApplication::processEvents();
    ASSERT_EQ(SearchCommandHandler.get(), static_cast<ISearchCommands*>(editor.get()));
    SetCaret(0, 12);  // right after "sp"
  }

  void TearDown() override {
    SourceEditorHooks().Completion = nullptr;
    delete IdentifierCompletionForm.data();
    if (editor) editor->Close();
    editor.reset();
    filter.reset();
    window.reset();
    ReleaseServices();
  }

  void SetCaret(int Line, int Index) { control->setCursorPosition(Line, Index); }

  QString Line0() const { return control->text(0).trimmed(); }

  test::TTempSettings settings;
  test::TScopedFakeDialogs dialogs;
  QTemporaryDir dir;
  std::shared_ptr<NiceMock<test::MockVexaIDE>> ide =
      std::make_shared<NiceMock<test::MockVexaIDE>>();
  std::shared_ptr<NiceMock<test::MockVexaProject>> project =
      std::make_shared<NiceMock<test::MockVexaProject>>();
  Ref<IVexaProject> moduleProject = project;
  std::shared_ptr<NiceMock<test::MockVexaModule>> module =
      std::make_shared<NiceMock<test::MockVexaModule>>();
  std::unique_ptr<QMainWindow> window;
  QTabWidget* pages = nullptr;
  TCommandsDataModule* commands = nullptr;
  std::unique_ptr<TShortcutFilter> filter;
  std::shared_ptr<TSourceEditor> editor;
  TVexaEditControl* control = nullptr;
};

TEST_F(IdentServicesTest, TheIdentifierAtTheCaretFollowsEveryCaretMove) {
  TIdentifierAtCaretInfo info = editor->IdentifierAtCaret();
  EXPECT_EQ(info.Text, QStringLiteral("motor.sp"));
  EXPECT_EQ(info.Start, 5);
  EXPECT_EQ(info.CaretOffset, 9);
  EXPECT_TRUE(editor->CanAddWatch());
  // Asked at once after the move, before the control reports it.
  SetCaret(0, 3);
  EXPECT_FALSE(editor->HasIdentifierAtCaret());
  EXPECT_FALSE(editor->CanAddWatch());
  EXPECT_FALSE(editor->CanFindDefinition());
  SetCaret(1, 0);
  EXPECT_EQ(editor->IdentifierAtCaret().Text, QStringLiteral("y"));
  // A text change at the same caret position.
  control->insertAt(QStringLiteral("z"), 1, 0);
  EXPECT_EQ(editor->IdentifierAtCaret().Text, QStringLiteral("zy"));
}

TEST_F(IdentServicesTest, TheKeysAskTheModulesProjectWithTheIdentifierAndTheCaretLine) {
  ON_CALL(*project, CanFindDeclaration).WillByDefault(Return(true));
  ON_CALL(*project, CanReturnFromDefinition).WillByDefault(Return(true));
  EXPECT_CALL(*project, FindDeclaration(Ref<IVexaModule>(module), 1, QStringLiteral("motor.sp")))
      .Times(1);
  EXPECT_CALL(*project, ReturnFromDefinition()).Times(1);
  EXPECT_CALL(*project, AddWatch(Ref<IVexaModule>(module), 1, QStringLiteral("motor.sp"))).Times(1);
  QTest::keyClick(control, Qt::Key_F11, Qt::ControlModifier);
  QTest::keyClick(control, Qt::Key_F11, Qt::ControlModifier | Qt::ShiftModifier);
  QTest::keyClick(control, Qt::Key_F7, Qt::ControlModifier);
  EXPECT_EQ(Line0(), QStringLiteral("x = motor.sp;")) << "the keys never reach the text";
}

TEST_F(IdentServicesTest, TheCommandsNeedTheProjectsConsentAndAnIdentifier) {
  // The project refuses: the actions stay disabled and the keys do nothing.
  EXPECT_CALL(*project, FindDeclaration(_, _, _)).Times(0);
  EXPECT_CALL(*project, ReturnFromDefinition()).Times(0);
  EXPECT_FALSE(editor->CanFindDefinition());
  EXPECT_FALSE(editor->CanReturnFromDefinition());
  QTest::keyClick(control, Qt::Key_F11, Qt::ControlModifier);
  QTest::keyClick(control, Qt::Key_F11, Qt::ControlModifier | Qt::ShiftModifier);
  testing::Mock::VerifyAndClearExpectations(project.get());

  // No identifier at the caret: no watch is added.
  SetCaret(0, 3);
  EXPECT_CALL(*project, AddWatch(_, _, _)).Times(0);
  QTest::keyClick(control, Qt::Key_F7, Qt::ControlModifier);
  editor->AddWatch();
  testing::Mock::VerifyAndClearExpectations(project.get());

  // A module without project, like a loose file, asks no one.
  ON_CALL(*project, CanFindDeclaration).WillByDefault(Return(true));
  ON_CALL(*project, CanReturnFromDefinition).WillByDefault(Return(true));
  moduleProject = nullptr;
  SetCaret(0, 12);
  EXPECT_TRUE(editor->CanAddWatch());
  EXPECT_FALSE(editor->CanFindDefinition());
  EXPECT_FALSE(editor->CanReturnFromDefinition());
  EXPECT_CALL(*project, AddWatch(_, _, _)).Times(0);
  EXPECT_CALL(*project, FindDeclaration(_, _, _)).Times(0);
  editor->AddWatch();
  editor->FindDefinition();
  editor->ReturnFromDefinition();
}

class CompletionTest : public IdentServicesTest {
 protected:
  void SetUp() override {
    IdentServicesTest::SetUp();
    InstallIdentifierCompletion();
  }

  // Ctrl+Space in the editor; the open pop-up, or none.
  TIdentifierCompletionForm* Complete() {
    QTest::keyClick(control, Qt::Key_Space, Qt::ControlModifier);
    TIdentifierCompletionForm* form = IdentifierCompletionForm;
    return form && form->isVisible() ? form : nullptr;
  }
};

TEST_F(CompletionTest, TypingNarrowsTheFilterAndEnterInsertsIt) {
  EXPECT_CALL(*project, GetIdentCompletions(Ref<IVexaModule>(module), 1, QStringLiteral("motor")))
      .WillOnce(Return(kItems));
  TIdentifierCompletionForm* form = Complete();
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->FilterText, QStringLiteral("sp"));
  EXPECT_EQ(form->lbCompletions->count(), 2);
  EXPECT_EQ(form->SelectedRow(), 0);

  QTest::keyClick(form->lbCompletions, 'e');
  EXPECT_EQ(form->FilterText, QStringLiteral("spe"));
  EXPECT_EQ(form->SelectedRow(), 0);
  // Other characters are swallowed.
  QTest::keyClick(form->lbCompletions, '(');
  EXPECT_EQ(form->FilterText, QStringLiteral("spe"));
  QTest::keyClick(form->lbCompletions, Qt::Key_Return);
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(form->lbCompletions->count(), 0) << "hiding empties the list";
  EXPECT_EQ(Line0(), QStringLiteral("x = motor.spe;"));
  // One undo step takes it back.
  control->undo();
  EXPECT_EQ(Line0(), QStringLiteral("x = motor.sp;"));
}

TEST_F(CompletionTest, AnArrowKeyChoosesTheItemsName) {
  EXPECT_CALL(*project, GetIdentCompletions(_, 1, QStringLiteral("motor")))
      .WillOnce(Return(kItems));
  TIdentifierCompletionForm* form = Complete();
  ASSERT_NE(form, nullptr);
  QTest::keyClick(form->lbCompletions, Qt::Key_Down);
  EXPECT_EQ(form->SelectedRow(), 1);
  EXPECT_EQ(form->FilterText, QStringLiteral("spin"));
  QTest::keyClick(form->lbCompletions, Qt::Key_Enter);
  EXPECT_EQ(Line0(), QStringLiteral("x = motor.spin;"));
}

TEST_F(CompletionTest, BackspaceWidensTheFilterAndEscapeInsertsNothing) {
  EXPECT_CALL(*project, GetIdentCompletions(_, _, _))
      .WillOnce(Return(QStringList{"alpha (variable)", "sa (variable)", "speed (variable)"}));
  TIdentifierCompletionForm* form = Complete();
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->SelectedRow(), 2);
  QTest::keyClick(form->lbCompletions, Qt::Key_Backspace);
  EXPECT_EQ(form->FilterText, QStringLiteral("s"));
  EXPECT_EQ(form->SelectedRow(), 1);
  QTest::keyClick(form->lbCompletions, Qt::Key_Backspace);
  QTest::keyClick(form->lbCompletions, Qt::Key_Backspace);
  EXPECT_TRUE(form->FilterText.isEmpty());
  EXPECT_EQ(form->SelectedRow(), -1) << "an empty filter selects nothing";
  QTest::keyClick(form->lbCompletions, Qt::Key_Escape);
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(Line0(), QStringLiteral("x = motor.sp;"));
}

TEST_F(CompletionTest, MatchingStopsAtTheFirstItemThatSortsAfterTheFilter) {
  EXPECT_CALL(*project, GetIdentCompletions(_, _, _))
      .WillOnce(Return(QStringList{"sa", "sz", "sp"}));
  TIdentifierCompletionForm* form = Complete();
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->SelectedRow(), -1);
  // Case-sensitive.
  form->FilterText = QStringLiteral("SA");
  form->SelectMatching();
  EXPECT_EQ(form->SelectedRow(), -1);
  form->FilterText = QStringLiteral("sa");
  form->SelectMatching();
  EXPECT_EQ(form->SelectedRow(), 0);
}

TEST_F(CompletionTest, NoPopupWithoutADotBeforeTheCaretOrWhenTheProjectCannotAnswer) {
  // Between "motor" and the dot, on a read-only control, for a loose module.
  EXPECT_CALL(*project, GetIdentCompletions(_, _, _)).Times(0);
  SetCaret(0, 9);
  EXPECT_EQ(Complete(), nullptr);
  SetCaret(0, 12);
  control->setReadOnly(true);
  EXPECT_EQ(Complete(), nullptr);
  control->setReadOnly(false);
  moduleProject = nullptr;
  EXPECT_EQ(Complete(), nullptr);
  testing::Mock::VerifyAndClearExpectations(project.get());

  moduleProject = project;
  EXPECT_CALL(*project, GetIdentCompletions(_, _, _)).WillOnce(Return(std::nullopt));
  EXPECT_EQ(Complete(), nullptr);
  EXPECT_EQ(Line0(), QStringLiteral("x = motor.sp;"));
}

TEST_F(CompletionTest, ThePopupOpensBelowTheCaretLine) {
  EXPECT_CALL(*project, GetIdentCompletions(_, _, _)).WillOnce(Return(kItems));
  TIdentifierCompletionForm* form = Complete();
  ASSERT_NE(form, nullptr);
  const long pos = control->SendScintilla(QsciScintilla::SCI_GETCURRENTPOS);
  const QPoint caret = control->viewport()->mapToGlobal(
      QPoint(int(control->SendScintilla(QsciScintilla::SCI_POINTXFROMPOSITION, 0L, pos)),
             int(control->SendScintilla(QsciScintilla::SCI_POINTYFROMPOSITION, 0L, pos))));
  const int height = int(control->SendScintilla(QsciScintilla::SCI_TEXTHEIGHT, 0));
  EXPECT_EQ(form->pos(), QPoint(caret.x(), caret.y() + height - 1));
  EXPECT_EQ(form->height(),
            TIdentifierCompletionForm::kItemHeight * TIdentifierCompletionForm::kVisibleItems + 2);
}

TEST(CompletionPlacementTest, FlipsWithinTheAvailableArea) {
  const QRect screen(0, 0, 800, 600);
  const QSize size(260, 92);
  struct {
    const char* Where;
    int X, Top, Bottom;
    QPoint At;
  } cases[] = {
      {"middle", 100, 200, 214, {100, 214}},    {"right edge", 700, 200, 214, {440, 214}},
      {"bottom", 100, 550, 564, {100, 458}},    {"bottom right", 700, 550, 564, {440, 458}},
      {"just fits", 540, 200, 508, {540, 508}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(TIdentifierCompletionForm::Placement(screen, size, c.X, c.Top, c.Bottom), c.At)
        << c.Where;
  // An area that does not start at 0, as a second screen.
  EXPECT_EQ(TIdentifierCompletionForm::Placement(QRect(800, 0, 800, 600), size, 1500, 10, 24),
            QPoint(1240, 24));
}

TEST(CompletionPlacementTest, ThePopupFlipsAboveTheCaretNearTheBottomOfTheScreen) {
  test::TestApp();
  QWidget owner;
  TIdentifierCompletionForm form(&owner);
  form.Items = kItems;
  form.FilterText = QStringLiteral("sp");
  const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
  const int top = available.y() + available.height() - 20;
  form.ShowAt(available.x() + 10, top, top + 14);
  EXPECT_TRUE(form.isVisible());
  EXPECT_EQ(form.pos(), QPoint(available.x() + 10, top - form.height()));
  EXPECT_EQ(form.SelectedRow(), 0);
  form.HideList();
}

}  // namespace
}  // namespace vexa::ide
