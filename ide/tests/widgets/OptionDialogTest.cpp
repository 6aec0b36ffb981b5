// The settings dialog: its pages, closing with OK or Cancel, and running it
// for the main window's menu.
#include "widgets/options/MultipageOptionDialog.h"

#include "MockIntfs.h"
#include "ModalWatcher.h"
#include "TempSettings.h"
#include "TestApp.h"
#include "model/commands/CommandsModule.h"
#include "model/core/Services.h"
#include "model/settings/HighlighterSettings.h"
#include "model/settings/Options.h"
#include "widgets/options/ColorGrid.h"
#include "widgets/options/EditorOptionsPage.h"
#include "widgets/options/ProjectOptionsPage.h"
#include "widgets/options/SyntaxHighlightPage.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QTimer>
#include <QtTest/QTest>

#include <functional>

namespace vexa::ide {
namespace {

using testing::StrictMock;

QStringList TabCaptions(const TMultipageOptionDialog& Dialog) {
  QStringList captions;
  for (int i = 0; i < Dialog.pctrlOptionPages->count(); ++i)
    captions << Dialog.pctrlOptionPages->tabText(i);
  return captions;
}

// The project options as one comparable value.
struct ProjectOptions {
  bool backgroundV2, backgroundBasic;
  int delayV2, delayBasic, comV2, comBasic;
  static ProjectOptions Now() {
    return {options::BackgroundCompilationV2,
            options::BackgroundCompilationBASIC,
            options::BackgroundCompilationDelayV2,
            options::BackgroundCompilationDelayBASIC,
            options::DownloadComV2,
            options::DownloadComBASIC};
  }
  friend bool operator==(const ProjectOptions&, const ProjectOptions&) = default;
};

class OptionDialog : public testing::Test {
 protected:
  void SetUp() override {
    test::TestApp();
    options::ReadOptions();
  }
  void TearDown() override {
    options::ReadOptions();
    VexaIDE.reset();
  }
  test::TTempSettings temp;
};

// A page that records what the dialog asks of it.
class RecordingPage : public TCustomDialogPage {
 public:
  RecordingPage(QStringList& Log, const QString& Name, QWidget* Parent)
      : TCustomDialogPage(Parent), log_(Log), name_(Name) {}
  void Apply() override { log_ << name_ + ".Apply"; }
  bool MayClose() override {
    log_ << name_ + ".MayClose";
    return mayClose;
  }
  bool mayClose = true;

 private:
  QStringList& log_;
  QString name_;
};

TEST_F(OptionDialog, CaptionButtonsAndTheBuildersPages) {
  THighlighterAttributes v2(THighlighterLanguage::V2), basic(THighlighterLanguage::Basic);
  TMultipageOptionDialog a, b, c;
  BuildV2OptionsDialog(a, &v2);
  BuildBasicOptionsDialog(b, &basic);
  BuildEnvironmentOptionsDialog(c);
  EXPECT_EQ(a.windowTitle(), "Einstellungen");
  EXPECT_EQ(a.btnOK->text(), "OK");
  EXPECT_EQ(a.btnCancel->text(), "Abbrechen");
  EXPECT_TRUE(a.btnOK->isDefault());
  EXPECT_EQ(TabCaptions(a), QStringList({"Syntaxhervorhebung", "Projekt"}));
  EXPECT_EQ(TabCaptions(b), QStringList({"Syntaxhervorhebung", "Projekt"}));
  EXPECT_EQ(TabCaptions(c), QStringList({"Editor"}));

  ASSERT_EQ(a.Pages.size(), 2);
  ASSERT_EQ(b.Pages.size(), 2);
  auto* syntaxV2 = dynamic_cast<TSyntaxHighlightPage*>(a.Pages[0]);
  auto* syntaxBasic = dynamic_cast<TSyntaxHighlightPage*>(b.Pages[0]);
  ASSERT_TRUE(syntaxV2 && syntaxBasic);
  ASSERT_EQ(syntaxV2->Entries.size(), 1);
  EXPECT_EQ(syntaxV2->Entries[0].Highlighter, &v2);
  EXPECT_EQ(syntaxBasic->Entries[0].Highlighter, &basic);
  auto* projectV2 = dynamic_cast<TProjectOptionsPage*>(a.Pages[1]);
  auto* projectBasic = dynamic_cast<TProjectOptionsPage*>(b.Pages[1]);
  ASSERT_TRUE(projectV2 && projectBasic);
  EXPECT_FALSE(projectV2->ForBASIC);
  EXPECT_TRUE(projectBasic->ForBASIC);
  EXPECT_NE(dynamic_cast<TEditorOptionsPage*>(c.Pages[0]), nullptr);
}

TEST_F(OptionDialog, OnePageDialogGrowsToThePageWithTheTabMargins) {
  TMultipageOptionDialog dialog;
  auto* page = new TCustomDialogPage(&dialog);
  page->setMinimumSize(500, 320);
  dialog.AddPage(page, QStringLiteral("Seite"));
  EXPECT_GE(dialog.MaxPageWidth, 500);
  EXPECT_GE(dialog.MaxPageHeight, 320);
  EXPECT_GT(dialog.MarginY, 0) << "the tab bar";
  dialog.show();
  dialog.adjustSize();
  EXPECT_GE(dialog.pctrlOptionPages->width(), dialog.MaxPageWidth + dialog.MarginX);
  EXPECT_GE(dialog.pctrlOptionPages->height(), dialog.MaxPageHeight + dialog.MarginY);
  EXPECT_GE(page->width(), 500);
  EXPECT_GE(page->height(), 320);
}

TEST_F(OptionDialog, OkAsksEveryPageThenAppliesInOrderCancelAppliesNothing) {
  QStringList log;
  {
    TMultipageOptionDialog dialog;
    dialog.AddPage(new RecordingPage(log, "a", &dialog), "A");
    dialog.AddPage(new RecordingPage(log, "b", &dialog), "B");
    dialog.show();
    dialog.btnOK->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(dialog.isVisible());
  }
  EXPECT_EQ(log, QStringList({"a.MayClose", "b.MayClose", "a.Apply", "b.Apply"}));

  log.clear();
  {
    TMultipageOptionDialog dialog;
    dialog.AddPage(new RecordingPage(log, "a", &dialog), "A");
    dialog.show();
    dialog.btnCancel->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
  }
  EXPECT_EQ(log, QStringList({"a.MayClose"}));
}

TEST_F(OptionDialog, APageThatRefusesKeepsTheDialogOpenAndNothingIsApplied) {
  QStringList log;
  TMultipageOptionDialog dialog;
  auto* a = new RecordingPage(log, "a", &dialog);
  auto* b = new RecordingPage(log, "b", &dialog);
  a->mayClose = false;
  dialog.AddPage(a, "A");
  dialog.AddPage(b, "B");
  dialog.show();
  dialog.btnOK->click();
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(log, QStringList({"a.MayClose"}));
}

// Every control of both language dialogs and the environment dialog changed,
// then Cancel: no option and no live attribute moved.
TEST_F(OptionDialog, CancelAfterChangingEveryPageChangesNothing) {
  THighlighterAttributes v2(THighlighterLanguage::V2);
  THighlighterAttributes before(THighlighterLanguage::V2);
  before.Assign(v2);
  const ProjectOptions project = ProjectOptions::Now();
  const QString face = options::EditorFontFace;
  const bool gutter = options::ShowGutter;
  const TVexaColor breakpoint = options::BreakpointLineFG;
  {
    TMultipageOptionDialog dialog;
    BuildV2OptionsDialog(dialog, &v2);
    auto* syntax = static_cast<TSyntaxHighlightPage*>(dialog.Pages[0]);
    auto* page = static_cast<TProjectOptionsPage*>(dialog.Pages[1]);
    syntax->lbElements->setCurrentRow(0);
    syntax->cbFontBold->setChecked(!syntax->cbFontBold->isChecked());
    syntax->cbDefaultBackground->setChecked(!syntax->cbDefaultBackground->isChecked());
    page->cbBkgndCompilation->setChecked(!page->cbBkgndCompilation->isChecked());
    page->tbDelay->setValue(25);
    for (QRadioButton* port : page->rbCOM) port->setEnabled(true);
    page->rbCOM[5]->setChecked(true);
    dialog.show();
    dialog.btnCancel->click();
  }
  {
    TMultipageOptionDialog dialog;
    BuildEnvironmentOptionsDialog(dialog);
    auto* editor = static_cast<TEditorOptionsPage*>(dialog.Pages[0]);
    editor->cbShowGutter->setChecked(!editor->cbShowGutter->isChecked());
    editor->cbFontFace->setCurrentIndex(editor->cbFontFace->count() - 1);
    editor->cbSpecialColors->setCurrentIndex(7);
    editor->cbSpecialColorDefault->setChecked(true);
    dialog.show();
    dialog.reject();
  }
  EXPECT_TRUE(ProjectOptions::Now() == project);
  EXPECT_EQ(options::EditorFontFace, face);
  EXPECT_EQ(options::ShowGutter, gutter);
  EXPECT_EQ(options::BreakpointLineFG, breakpoint);
  for (int i = 0; i < v2.Count(); ++i) EXPECT_EQ(v2.At(i), before.At(i)) << i;
}

// Runs the next modal option dialog: Change edits it, then it ends with Result.
void WhenTheDialogShows(const std::function<void(TMultipageOptionDialog&)>& Change, int Result) {
  auto* timer = new QTimer;
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, Change, Result] {
    auto* dialog = qobject_cast<TMultipageOptionDialog*>(QApplication::activeModalWidget());
    if (!dialog || !dialog->isVisible()) return;
    timer->stop();
    timer->deleteLater();
    Change(*dialog);
    dialog->done(Result);
  });
  timer->start();
}

TEST_F(OptionDialog, EnvironmentOkRefreshesTheEditorsAndWritesTheOptions) {
  auto ide = std::make_shared<StrictMock<test::MockVexaIDE>>();
  VexaIDE = ide;
  const bool gutter = options::ShowGutter;
  EXPECT_CALL(*ide, RefreshEditors()).Times(1);
  WhenTheDialogShows(
      [](TMultipageOptionDialog& Dialog) {
        auto* editor = static_cast<TEditorOptionsPage*>(Dialog.Pages[0]);
        editor->cbShowGutter->setChecked(!editor->cbShowGutter->isChecked());
      },
      QDialog::Accepted);
  EXPECT_TRUE(ExecuteOptionsDialog(TOptionsDialogKind::Environment, nullptr));
  EXPECT_EQ(options::ShowGutter, !gutter);
  EXPECT_EQ(temp.File()->value("1.0/Editor/ShowGutter").toInt(), gutter ? 0 : 1);
}

TEST_F(OptionDialog, CancelledEnvironmentDialogNeitherRefreshesNorWrites) {
  auto ide = std::make_shared<StrictMock<test::MockVexaIDE>>();
  VexaIDE = ide;
  const bool gutter = options::ShowGutter;
  WhenTheDialogShows(
      [](TMultipageOptionDialog& Dialog) {
        auto* editor = static_cast<TEditorOptionsPage*>(Dialog.Pages[0]);
        editor->cbShowGutter->setChecked(!editor->cbShowGutter->isChecked());
      },
      QDialog::Rejected);
  EXPECT_FALSE(ExecuteOptionsDialog(TOptionsDialogKind::Environment, nullptr));
  EXPECT_EQ(options::ShowGutter, gutter);
  EXPECT_FALSE(temp.File()->contains("1.0/Editor/ShowGutter"));
}

// The language dialogs edit the command module's highlighters; OK stores them
// and the project options, and leaves the editors alone.
TEST_F(OptionDialog, LanguageDialogsEditTheCommandModulesHighlighters) {
  auto ide = std::make_shared<StrictMock<test::MockVexaIDE>>();
  VexaIDE = ide;
  TCommandsModule commands;
  struct Case {
    TOptionsDialogKind kind;
    THighlighterAttributes* live;
    int* delay;
  } cases[] = {
      {TOptionsDialogKind::V2, &commands.hlV2, &options::BackgroundCompilationDelayV2},
      {TOptionsDialogKind::Basic, &commands.hlBasic, &options::BackgroundCompilationDelayBASIC},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.kind));
    const int comment = c.live->IndexOf("Comment");
    WhenTheDialogShows(
        [](TMultipageOptionDialog& Dialog) {
          auto* syntax = static_cast<TSyntaxHighlightPage*>(Dialog.Pages[0]);
          syntax->lbElements->setCurrentRow(syntax->CurrentClone()->IndexOf("Comment"));
          syntax->cbFontUnderline->setChecked(true);
          // Red as the text colour, from the grid.
          TColorGrid* grid = syntax->cgAttriColors;
          QTest::mouseClick(grid, Qt::LeftButton, {},
                            grid->CellRect(TColorGrid::IndexOf(TVexaColor(0x0000FF))).center());
          static_cast<TProjectOptionsPage*>(Dialog.Pages[1])->tbDelay->setValue(17);
        },
        QDialog::Accepted);
    EXPECT_TRUE(ExecuteOptionsDialog(c.kind, nullptr));
    EXPECT_TRUE(c.live->At(comment).Style & FontStyleUnderline);
    EXPECT_EQ(c.live->At(comment).Foreground.Value(), 0x0000FFu);
    EXPECT_EQ(*c.delay, 1700);
  }
  auto file = temp.File();
  EXPECT_EQ(file->value("1.0/Projects/BackgroundCompilationDelayV2").toInt(), 1700);
  EXPECT_EQ(file->value("1.0/Projects/BackgroundCompilationDelayBASIC").toInt(), 1700);
  for (const char* language : {"V2", "BASIC"}) {
    const QString section = QStringLiteral("1.0/SyntaxHighlighting/%1/Comment/").arg(language);
    EXPECT_EQ(file->value(section + "FontStyle").toInt(), FontStyleItalic | FontStyleUnderline);
    EXPECT_EQ(file->value(section + "ForegroundColor").toInt(), 0x0000FF);
  }
}

}  // namespace
}  // namespace vexa::ide
