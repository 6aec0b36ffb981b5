// The "Syntaxhervorhebung" page: clones of the live highlighters, the colour
// grid and boxes, the element under the preview's caret.
#include "widgets/options/SyntaxHighlightPage.h"

#include "TempSettings.h"
#include "TestApp.h"
#include "model/settings/HighlighterSettings.h"
#include "model/settings/Options.h"
#include "widgets/editor/VexaEditControl.h"
#include "widgets/editor/VexaLexer.h"
#include "widgets/options/ColorGrid.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QtTest/QTest>

namespace vexa::ide {
namespace {

constexpr TVexaColor kRed = TVexaColor::FromRgb(255, 0, 0);
constexpr TVexaColor kTeal = TVexaColor::FromRgb(0, 128, 128);

class SyntaxHighlightPage : public testing::Test {
 protected:
  void SetUp() override {
    test::TestApp();
    options::ReadOptions();
  }
  void TearDown() override { options::ReadOptions(); }

  // Clicks grid cell Index with Button.
  static void ClickCell(TColorGrid& Grid, int Index, Qt::MouseButton Button) {
    QTest::mouseClick(&Grid, Button, {}, Grid.CellRect(Index).center());
  }

  static std::string Selected(const TSyntaxHighlightPage& Page) {
    return Page.lbElements->currentItem() ? Page.lbElements->currentItem()->text().toStdString()
                                          : std::string();
  }

  test::TTempSettings temp;
};

TEST_F(SyntaxHighlightPage, OneHighlighterHidesTheLanguageAndListsItsElements) {
  THighlighterAttributes live(THighlighterLanguage::V2);
  TSyntaxHighlightPage page;
  page.resize(600, 450);
  page.Load();
  page.AddHighlighters({&live});
  page.show();
  EXPECT_FALSE(page.cbSelectLanguage->isVisible());
  EXPECT_FALSE(page.lblLanguage->isVisible());
  ASSERT_EQ(page.lbElements->count(), live.Count());
  for (int i = 0; i < live.Count(); ++i)
    EXPECT_EQ(page.lbElements->item(i)->text(), live.At(i).DisplayName);
  EXPECT_EQ(page.lbElements->currentRow(), 0);
  EXPECT_TRUE(page.cgAttriColors->isEnabled());
  EXPECT_EQ(page.SynEditPreview->text(), TSyntaxHighlightPage::SampleSource(live));
  EXPECT_NE(page.CurrentClone(), &live);
  // The element list moves up to the colour label.
  EXPECT_LE(page.lblElements->y(), page.lblColors->y());
}

TEST_F(SyntaxHighlightPage, TwoHighlightersShowTheSelectorAndKeepTheElementAcrossLanguages) {
  THighlighterAttributes v2(THighlighterLanguage::V2), basic(THighlighterLanguage::Basic);
  TSyntaxHighlightPage page;
  page.AddHighlighters({&v2, &basic});
  page.show();
  ASSERT_EQ(page.cbSelectLanguage->count(), 2);
  EXPECT_EQ(page.cbSelectLanguage->itemText(0), "Vexa V2");
  EXPECT_EQ(page.cbSelectLanguage->itemText(1), "Vexa BASIC");
  EXPECT_TRUE(page.cbSelectLanguage->isVisible());
  page.lbElements->setCurrentRow(v2.IndexOf("String"));
  page.cbSelectLanguage->setCurrentIndex(1);
  EXPECT_EQ(Selected(page), basic.Find("String")->DisplayName.toStdString());
  EXPECT_EQ(page.lbElements->count(), basic.Count());
  EXPECT_EQ(page.SynEditPreview->text(), TSyntaxHighlightPage::SampleSource(basic));
  // "Sprungmarke" exists in BASIC only: back in V2 the first element.
  page.lbElements->setCurrentRow(basic.IndexOf("Label"));
  page.cbSelectLanguage->setCurrentIndex(0);
  EXPECT_EQ(page.lbElements->currentRow(), 0);
}

// Edits through every control reach the clone only; Apply copies them into
// the live attributes and so into a live editor's lexer.
TEST_F(SyntaxHighlightPage, EditsStayOnTheCloneUntilApply) {
  THighlighterAttributes live(THighlighterLanguage::V2);
  TVexaEditControl editor;
  TVexaLexer lexer(&live);
  editor.setLexer(&lexer);
  const int number = live.IndexOf("Number");
  const QColor liveColour = lexer.color(number);
  THighlighterAttributes before(THighlighterLanguage::V2);
  before.Assign(live);

  TSyntaxHighlightPage page;
  page.AddHighlighters({&live});
  page.show();
  page.lbElements->setCurrentRow(number);
  ClickCell(*page.cgAttriColors, TColorGrid::IndexOf(kRed), Qt::LeftButton);
  ClickCell(*page.cgAttriColors, TColorGrid::IndexOf(kTeal), Qt::RightButton);
  page.cbFontBold->setChecked(true);
  page.cbFontUnderline->setChecked(true);

  const THighlighterAttribute& edited = page.CurrentClone()->At(number);
  EXPECT_EQ(edited.Foreground, kRed);
  EXPECT_EQ(edited.Background, kTeal);
  EXPECT_EQ(edited.Style, FontStyleBold | FontStyleUnderline);
  EXPECT_FALSE(page.cbDefaultForeground->isChecked());
  EXPECT_FALSE(page.cbDefaultBackground->isChecked());
  for (int i = 0; i < live.Count(); ++i) EXPECT_EQ(live.At(i), before.At(i)) << "before Apply";
  EXPECT_EQ(lexer.color(number), liveColour);

  page.Apply();
  for (int i = 0; i < live.Count(); ++i) EXPECT_EQ(live.At(i), page.CurrentClone()->At(i)) << i;
  EXPECT_EQ(lexer.color(number), QColor(255, 0, 0));
  editor.setLexer(nullptr);
}

TEST_F(SyntaxHighlightPage, LoadTakesTheLiveAttributesAgain) {
  THighlighterAttributes live(THighlighterLanguage::Basic);
  TSyntaxHighlightPage page;
  page.AddHighlighters({&live});
  const int comment = live.IndexOf("Comment");
  page.lbElements->setCurrentRow(comment);
  page.cbFontItalic->setChecked(false);
  live.SetForeground(comment, kTeal);
  page.Load();
  EXPECT_EQ(page.CurrentClone()->At(comment), live.At(comment));
  EXPECT_TRUE(page.cbFontItalic->isChecked());
  EXPECT_EQ(page.cgAttriColors->ForegroundIndex(), TColorGrid::IndexOf(kTeal));
}

TEST_F(SyntaxHighlightPage, UntickingTheDefaultRestoresThePickedColourNotBlack) {
  THighlighterAttributes live(THighlighterLanguage::V2);
  TSyntaxHighlightPage page;
  page.AddHighlighters({&live});
  page.show();
  const int keyword = live.IndexOf("Keyword");  // text and background by default
  page.lbElements->setCurrentRow(keyword);
  EXPECT_TRUE(page.cbDefaultForeground->isChecked());
  EXPECT_TRUE(page.cbDefaultBackground->isChecked());
  EXPECT_EQ(page.cgAttriColors->ForegroundIndex(), -1);

  ClickCell(*page.cgAttriColors, TColorGrid::IndexOf(kRed), Qt::LeftButton);
  page.cbDefaultForeground->setChecked(true);
  EXPECT_TRUE(page.CurrentClone()->At(keyword).Foreground.IsNone());
  EXPECT_EQ(page.cgAttriColors->ForegroundIndex(), -1);
  page.cbDefaultForeground->setChecked(false);
  EXPECT_EQ(page.CurrentClone()->At(keyword).Foreground, kRed);
  EXPECT_EQ(page.cgAttriColors->ForegroundIndex(), TColorGrid::IndexOf(kRed));

  // Without a colour picked, unticking gives the window colours.
  page.cbDefaultBackground->setChecked(false);
  EXPECT_EQ(page.CurrentClone()->At(keyword).Background, TVexaColor::System(5));
}

// The caret in the preview chooses the element: a comment (also on the
// continued line of a block comment), an identifier, whitespace at a line end.
TEST_F(SyntaxHighlightPage, TheElementUnderThePreviewsCaretIsSelected) {
  THighlighterAttributes live(THighlighterLanguage::V2);
  TSyntaxHighlightPage page;
  page.AddHighlighters({&live});
  page.show();
  TVexaEditControl& preview = *page.SynEditPreview;
  ASSERT_EQ(preview.text(2), "const LIMIT = 0x1F;\n");
  ASSERT_EQ(preview.text(9), "    count = count + 1;  // weiter\n");
  struct Case {
    int line, index;
    const char* element;
  } cases[] = {
      {0, 3, "Comment"},    {1, 5, "Comment"}, {2, 0, "Keyword"},     {2, 6, "Identifier"},
      {2, 15, "Number"},    {2, 18, "Symbol"}, {2, 19, "Whitespace"}, {9, 26, "Comment"},
      {9, 1, "Whitespace"}, {3, 16, "String"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.element);
    SCOPED_TRACE(c.line);
    preview.setCursorPosition(c.line, c.index);
    QApplication::processEvents();  // the control reports caret moves as it updates
    EXPECT_EQ(Selected(page), live.Find(c.element)->DisplayName.toStdString());
  }
  // A click beyond the end of a line.
  const int height = int(preview.SendScintilla(QsciScintilla::SCI_TEXTHEIGHT, 0));
  page.lbElements->setCurrentRow(live.IndexOf("Number"));
  QTest::mouseClick(preview.viewport(), Qt::LeftButton, {},
                    QPoint(preview.viewport()->width() - 5, 2 * height + height / 2));
  QApplication::processEvents();
  EXPECT_EQ(Selected(page), live.Find("Whitespace")->DisplayName.toStdString());
  EXPECT_FALSE(preview.hasSelectedText());
}

// The preview shows the colours being edited also while the editors have
// highlighting switched off.
TEST_F(SyntaxHighlightPage, ThePreviewColoursWithHighlightingSwitchedOff) {
  options::UseSyntaxHighlighting = false;
  THighlighterAttributes live(THighlighterLanguage::V2);
  TSyntaxHighlightPage page;
  page.AddHighlighters({&live});
  TVexaEditControl& preview = *page.SynEditPreview;
  preview.SendScintilla(QsciScintilla::SCI_COLOURISE, 0L, -1L);
  EXPECT_EQ(preview.SendScintilla(QsciScintilla::SCI_GETSTYLEAT, 0L), live.IndexOf("Comment"));
  const long keyword = preview.SendScintilla(QsciScintilla::SCI_POSITIONFROMLINE, 2L);
  EXPECT_EQ(preview.SendScintilla(QsciScintilla::SCI_GETSTYLEAT, keyword), live.IndexOf("Keyword"));
}

}  // namespace
}  // namespace vexa::ide
