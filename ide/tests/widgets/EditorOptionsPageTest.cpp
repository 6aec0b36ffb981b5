// The "Editor" page: switches, fixed-pitch fonts, the ten line colours and
// the preview.
#include "widgets/options/EditorOptionsPage.h"

#include "TempSettings.h"
#include "TestApp.h"
#include "model/settings/Options.h"
#include "widgets/editor/VexaEditControl.h"
#include "widgets/options/ColorButton.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>
#include <QtTest/QTest>

namespace vexa::ide {
namespace {

class EditorOptionsPage : public testing::Test {
 protected:
  void SetUp() override {
    test::TestApp();
    options::ReadOptions();
  }
  void TearDown() override { options::ReadOptions(); }
  test::TTempSettings temp;
};

TEST_F(EditorOptionsPage, EveryOfferedFaceIsFixedPitchSortedAndOnce) {
  TEditorOptionsPage page;
  page.Load();
  ASSERT_GT(page.cbFontFace->count(), 0) << "the test machine has monospaced fonts";
  QStringList faces;
  for (int i = 0; i < page.cbFontFace->count(); ++i) faces << page.cbFontFace->itemText(i);
  for (const QString& face : faces)
    EXPECT_TRUE(QFontDatabase::isFixedPitch(face)) << face.toStdString();
  QStringList sorted = faces;
  sorted.sort(Qt::CaseInsensitive);
  sorted.removeDuplicates();
  EXPECT_EQ(faces, sorted);
  // A proportional family the machine has is left out.
  for (const QString& family : QFontDatabase::families())
    if (!QFontDatabase::isFixedPitch(family)) {
      EXPECT_FALSE(faces.contains(family)) << family.toStdString();
    }
}

TEST_F(EditorOptionsPage, AScalableFaceOffersTheElevenSizesAndTheShownSizeStays) {
  TEditorOptionsPage page;
  page.Load();
  const QStringList faces = TEditorOptionsPage::FixedPitchFaces();
  const auto scalable = std::find_if(faces.begin(), faces.end(), [](const QString& Face) {
    return QFontDatabase::isSmoothlyScalable(Face);
  });
  ASSERT_NE(scalable, faces.end());
  page.cbFontFace->setCurrentText(*scalable);
  QStringList sizes;
  for (int i = 0; i < page.cbFontSize->count(); ++i) sizes << page.cbFontSize->itemText(i);
  EXPECT_EQ(sizes, QStringList({"8", "9", "10", "11", "12", "14", "16", "18", "20", "22", "24"}));
  page.cbFontSize->setCurrentText("14");
  // Another face keeps the size when it offers it.
  for (const QString& face : faces) {
    if (face == *scalable || !QFontDatabase::isSmoothlyScalable(face)) continue;
    page.cbFontFace->setCurrentText(face);
    EXPECT_EQ(page.cbFontSize->currentText(), "14");
    break;
  }
  page.Apply();
  EXPECT_EQ(options::EditorFontFace, page.cbFontFace->currentText());
  EXPECT_EQ(options::EditorFontSize, 14);
  EXPECT_TRUE(TEditorOptionsPage::FaceSizes("No Such Face 4711").isEmpty());
}

TEST_F(EditorOptionsPage, TheDefaultFaceIsServedByItsFixedPitchStandIn) {
  options::EditorFontFace = "Courier New";
  options::EditorFontSize = 12;
  TEditorOptionsPage page;
  page.Load();
  const QString served = QFontInfo(QFont("Courier New")).family();
  if (page.cbFontFace->findText("Courier New") < 0 && page.cbFontFace->findText(served) >= 0) {
    EXPECT_EQ(page.cbFontFace->currentText(), served);
  }
  EXPECT_EQ(page.cbFontSize->currentText(), "12");
  EXPECT_EQ(page.PreviewFont().family(), "Courier New") << "the preview keeps the stored face";
  page.Apply();
  EXPECT_EQ(options::EditorFontFace, "Courier New") << "OK without a change keeps the face";
  EXPECT_EQ(options::EditorFontSize, 12);
}

TEST_F(EditorOptionsPage, AProportionalStoredFaceSelectsNothingAndThePreviewKeepsIt) {
  QString proportional;
  for (const QString& family : QFontDatabase::families())
    if (!QFontDatabase::isFixedPitch(family) && QFontInfo(QFont(family)).family() == family &&
        !QFontInfo(QFont(family)).fixedPitch()) {
      proportional = family;
      break;
    }
  ASSERT_FALSE(proportional.isEmpty());
  options::EditorFontFace = proportional;
  options::EditorFontSize = 13;  // not one of the offered sizes
  TEditorOptionsPage page;
  page.Load();
  EXPECT_EQ(page.cbFontFace->currentIndex(), -1);
  EXPECT_EQ(page.cbFontSize->currentIndex(), -1);
  EXPECT_EQ(page.PreviewFont().family(), proportional);
  page.Apply();
  EXPECT_EQ(options::EditorFontFace, proportional);
  EXPECT_EQ(options::EditorFontSize, 13);
}

TEST_F(EditorOptionsPage, SwitchesLoadAndApplyTheirOwnOption) {
  struct Case {
    QCheckBox* TEditorOptionsPage::*box;
    bool* option;
  } cases[] = {
      {&TEditorOptionsPage::cbSearchTextAtCaret, &options::SearchTextAtCaret},
      {&TEditorOptionsPage::cbIndentLine, &options::AutoIndent},
      {&TEditorOptionsPage::cbInsertMode, &options::InsertMode},
      {&TEditorOptionsPage::cbSyntaxHighlighting, &options::UseSyntaxHighlighting},
      {&TEditorOptionsPage::cbShowRightEdge, &options::ShowRightEdge},
      {&TEditorOptionsPage::cbShowGutter, &options::ShowGutter},
      {&TEditorOptionsPage::cbDragDropEditing, &options::DragDropEditing},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE((TEditorOptionsPage().*c.box)->objectName().toStdString());
    for (bool value : {false, true}) {
      for (const Case& o : cases) *o.option = !value;
      *c.option = value;
      TEditorOptionsPage page;
      page.Load();
      EXPECT_EQ((page.*c.box)->isChecked(), value);
      (page.*c.box)->setChecked(!value);
      page.Apply();
      EXPECT_EQ(*c.option, !value);
      for (const Case& o : cases)
        if (o.option != c.option) {
          EXPECT_EQ(*o.option, !value);
        }
    }
  }
}

// Every entry starts with a plain colour; "Vorgabe" gives the system highlight
// colours to the selected-text entries and "no colour" to the others.
TEST_F(EditorOptionsPage, VorgabeStoresTheDefaultOfItsEntry) {
  TVexaColor* const colors[] = {
      &options::SelectedTextBG,
      &options::SelectedTextFG,
      &options::ErrorLineBG,
      &options::ErrorLineFG,
      &options::CurrentLineBG,
      &options::CurrentLineFG,
      &options::BreakpointLineBG,
      &options::BreakpointLineFG,
      &options::InvalidBreakpointLineBG,
      &options::InvalidBreakpointLineFG,
  };
  const quint32 expected[] = {0x8000000D, 0x8000000E, 0x1FFFFFFF, 0x1FFFFFFF, 0x1FFFFFFF,
                              0x1FFFFFFF, 0x1FFFFFFF, 0x1FFFFFFF, 0x1FFFFFFF, 0x1FFFFFFF};
  for (int entry = 0; entry < 10; ++entry) {
    SCOPED_TRACE(entry);
    for (int i = 0; i < 10; ++i) *colors[i] = TVexaColor::FromRgb(10 + i, 20, 30);
    TEditorOptionsPage page;
    page.Load();
    page.cbSpecialColors->setCurrentIndex(entry);
    EXPECT_FALSE(page.cbSpecialColorDefault->isChecked());
    EXPECT_TRUE(page.cbtnSpecialLineColor->isEnabled());
    EXPECT_EQ(page.cbtnSpecialLineColor->Color(), TVexaColor::FromRgb(10 + entry, 20, 30));
    page.cbSpecialColorDefault->setChecked(true);
    EXPECT_FALSE(page.cbtnSpecialLineColor->isEnabled());
    page.Apply();
    for (int i = 0; i < 10; ++i) {
      EXPECT_EQ(colors[i]->Value(),
                i == entry ? expected[i] : TVexaColor::FromRgb(10 + i, 20, 30).Value())
          << i;
    }
  }
}

TEST_F(EditorOptionsPage, UntickingVorgabeAndChoosingAColourTakeTheButtonsColour) {
  options::BreakpointLineFG = TVexaColor();  // no colour
  TEditorOptionsPage page;
  page.Load();
  page.cbSpecialColors->setCurrentIndex(7);
  EXPECT_TRUE(page.cbSpecialColorDefault->isChecked());
  EXPECT_FALSE(page.cbtnSpecialLineColor->isEnabled());

  const TVexaColor olive = page.cbtnSpecialLineColor->PaletteColors().at(17);
  page.cbtnSpecialLineColor->ChooseColor(olive);
  EXPECT_FALSE(page.cbSpecialColorDefault->isChecked());
  EXPECT_TRUE(page.cbtnSpecialLineColor->isEnabled());
  EXPECT_EQ(page.SpecialColor(7), olive);

  page.cbSpecialColorDefault->setChecked(true);
  EXPECT_TRUE(page.SpecialColor(7).IsNone());
  page.cbSpecialColorDefault->setChecked(false);
  EXPECT_EQ(page.SpecialColor(7), olive);
  page.Apply();
  EXPECT_EQ(options::BreakpointLineFG, olive);
}

TEST_F(EditorOptionsPage, TheSwatchMenuHoldsThePaletteAndWhiteCustomColours) {
  TColorButton button;
  ASSERT_EQ(button.PaletteColors().size(), 20u);
  EXPECT_EQ(button.PaletteColors()[1].Value(), 255u);
  EXPECT_EQ(button.PaletteColors()[19].Value(), 10461087u);
  ASSERT_EQ(button.CustomColors().size(), 16u);
  for (TVexaColor c : button.CustomColors()) EXPECT_EQ(c.Value(), 16777215u);
  // Opening the menu builds a swatch per colour and the other-colour button.
  emit button.SwatchMenu()->aboutToShow();
  const auto swatches = button.SwatchMenu()->findChildren<QToolButton*>();
  EXPECT_EQ(swatches.size(), 36);
  ASSERT_EQ(button.SwatchMenu()->findChildren<QPushButton*>().size(), 1);
  EXPECT_EQ(button.SwatchMenu()->findChildren<QPushButton*>()[0]->text(), "&Andere...");
  // A swatch click chooses its colour.
  TVexaColor chosen;
  QObject::connect(&button, &TColorButton::ColorChosen, [&](TVexaColor c) { chosen = c; });
  swatches[2]->click();
  EXPECT_EQ(chosen.Value(), 65280u);
  EXPECT_EQ(button.Color().Value(), 65280u);
}

// The preview shows the markers and looks of the five kinds; a click on a
// line chooses its background entry, a second one its text colour entry.
TEST_F(EditorOptionsPage, PreviewMarkersLooksAndClicks) {
  TEditorOptionsPage page;
  page.resize(600, 420);
  page.Load();
  page.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
  TVexaEditControl& preview = *page.SynEditPreview;
  ASSERT_EQ(preview.LineCount(), 5);
  EXPECT_EQ(preview.text(3), "Haltepunkt\n");
  const int markers[] = {0, 8, 7, 1, 4};
  for (int line = 1; line <= 5; ++line) {
    EXPECT_EQ(preview.ShownLineMarker(line), markers[line - 1]) << line;
    EXPECT_EQ(preview.ShownLineLook(line), line == 1 ? 0 : line - 1) << line;
  }

  const auto click = [&](int Line) {
    const int height = int(preview.SendScintilla(QsciScintilla::SCI_TEXTHEIGHT, 0));
    QTest::mouseClick(preview.viewport(), Qt::LeftButton, {},
                      QPoint(preview.GutterWidth() + 30, (Line - 1) * height + height / 2));
  };
  click(4);
  EXPECT_EQ(page.cbSpecialColors->currentIndex(), 6);
  click(4);
  EXPECT_EQ(page.cbSpecialColors->currentIndex(), 7);
  click(4);
  EXPECT_EQ(page.cbSpecialColors->currentIndex(), 6);
  click(1);
  EXPECT_EQ(page.cbSpecialColors->currentIndex(), 0);
  EXPECT_FALSE(preview.hasSelectedText()) << "the preview has no selection";

  // Both colours of the breakpoint line back to no colour: a plain line.
  for (int entry : {6, 7}) {
    page.cbSpecialColors->setCurrentIndex(entry);
    page.cbSpecialColorDefault->setChecked(true);
  }
  EXPECT_EQ(preview.ShownLineLook(4), 0);
  EXPECT_EQ(preview.ShownLineLook(5), 4);

  page.cbShowGutter->setChecked(false);
  EXPECT_FALSE(preview.GutterVisible());
  page.cbShowGutter->setChecked(true);
  EXPECT_TRUE(preview.GutterVisible());
}

}  // namespace
}  // namespace vexa::ide
