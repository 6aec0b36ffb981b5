#include "widgets/mainwindow/TipOfTheDay.h"
#include "widgets/mainwindow/TipOfTheDayDialog.h"

#include "TestApp.h"
#include "model/files/TipsFile.h"

#include <QCheckBox>
#include <QFile>
#include <QImage>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace vexa::ide {
namespace {

const QString kErrorText = "Es trat ein Fehler auf beim Lesen der Datei mit den Tips des Tages...";

TEST(TipOfTheDay, ColorBarWidthKeptWithinItsRange) {
  test::TestApp();
  TTipOfTheDay tip;
  EXPECT_EQ(tip.ColorBarWidth(), 42);
  const struct {
    int value, expected;
  } cases[] = {{500, 420}, {-5, 0}, {420, 420}, {421, 420}, {0, 0}, {54, 54}, {-1, 0}};
  for (const auto& c : cases) {
    tip.SetColorBarWidth(c.value);
    EXPECT_EQ(tip.ColorBarWidth(), c.expected) << c.value;
  }
}

// Colours that tell the painted parts apart.
QPalette DistinctPalette() {
  QPalette palette;
  palette.setColor(QPalette::Dark, QColor(10, 20, 30));            // bar, line, frame top-left
  palette.setColor(QPalette::Light, QColor(240, 230, 220));        // frame bottom-right
  palette.setColor(QPalette::ToolTipBase, QColor(250, 250, 200));  // info area
  palette.setColor(QPalette::Text, QColor(200, 0, 0));             // heading and tip
  return palette;
}

TEST(TipOfTheDay, PaintsFrameBarLineBitmapAndTexts) {
  test::TestApp();
  TTipOfTheDay tip;
  tip.resize(400, 208);
  tip.SetColorBarWidth(54);
  tip.SetTip("kurz");
  tip.setPalette(DistinctPalette());
  const QImage image = tip.grab().toImage();
  const QPalette p = DistinctPalette();
  auto at = [&](int x, int y) { return image.pixelColor(x, y); };

  EXPECT_EQ(at(0, 0), p.color(QPalette::Dark));
  EXPECT_EQ(at(0, 100), p.color(QPalette::Dark));
  EXPECT_EQ(at(399, 100), p.color(QPalette::Light));
  EXPECT_EQ(at(200, 207), p.color(QPalette::Light));
  EXPECT_EQ(at(5, 150), p.color(QPalette::Dark));         // bar below the bitmap
  EXPECT_EQ(at(60, 45), p.color(QPalette::ToolTipBase));  // info area
  EXPECT_EQ(at(390, 190), p.color(QPalette::ToolTipBase));
  EXPECT_EQ(at(54, 50), p.color(QPalette::Dark));  // the line
  EXPECT_EQ(at(397, 50), p.color(QPalette::Dark));
  EXPECT_EQ(at(53, 49), p.color(QPalette::Dark));

  // The bitmap, centred in the bar as far from the top as from the left.
  const int size = 32;
  const int offset = (54 - size) / 2;
  int bitmapPixels = 0;
  for (int y = 0; y < 60; ++y)
    for (int x = 1; x < 54; ++x)
      if (at(x, y) != p.color(QPalette::Dark)) {
        ++bitmapPixels;
        EXPECT_TRUE(x >= offset && x < offset + size && y >= offset && y < offset + size)
            << x << "," << y;
      }
  EXPECT_GT(bitmapPixels, 100);

  // Heading between the top and the line, tip text below the line.
  auto textPixels = [&](int top, int bottom) {
    int n = 0;
    for (int y = top; y < bottom; ++y)
      for (int x = 62; x < 388; ++x)
        if (at(x, y) != p.color(QPalette::ToolTipBase)) ++n;
    return n;
  };
  EXPECT_GT(textPixels(18, 50), 50);
  EXPECT_EQ(textPixels(1, 17), 0);
  EXPECT_GT(textPixels(58, 80), 10);
  EXPECT_EQ(textPixels(100, 196), 0);
}

TEST(TipOfTheDay, LongTipIsWrappedInsideItsRectangle) {
  test::TestApp();
  TTipOfTheDay tip;
  tip.resize(400, 208);
  tip.setPalette(DistinctPalette());
  tip.SetTip(QString("Wort ").repeated(60).trimmed());
  const QImage image = tip.grab().toImage();
  const QColor info = DistinctPalette().color(QPalette::ToolTipBase);
  int rightOfRect = 0, lowerLines = 0;
  for (int y = 58; y < 196; ++y) {
    for (int x = 389; x < 399; ++x)
      if (image.pixelColor(x, y) != info) ++rightOfRect;
    if (y > 100)
      for (int x = 62; x < 388; ++x)
        if (image.pixelColor(x, y) != info) ++lowerLines;
  }
  EXPECT_EQ(rightOfRect, 0);
  EXPECT_GT(lowerLines, 0);
}

class TipDialogTest : public ::testing::Test {
 protected:
  void SetUp() override { test::TestApp(); }

  QString Write(const QByteArray& Bytes) {
    const QString name = dir_.path() + "/TipsOfTheDay.txt";
    QFile file(name);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(Bytes);
    return name;
  }

  QTemporaryDir dir_;
};

TEST_F(TipDialogTest, ThreeTipsInTurnThenTheFirstAgain) {
  TTipOfTheDayDialog dialog;
  dialog.SetFileName(Write("eins\nzwei\r\ndrei\n"));
  dialog.SetShowAtStartup(true);
  dialog.show();
  QStringList shown{dialog.TipOfTheDay1->Tip()};
  EXPECT_TRUE(dialog.btnNextTip->isEnabled());
  for (int i = 0; i < 3; ++i) {
    QTest::mouseClick(dialog.btnNextTip, Qt::LeftButton);
    shown << dialog.TipOfTheDay1->Tip();
  }
  EXPECT_EQ(shown, QStringList({"eins", "zwei", "drei", "eins"}));
  EXPECT_EQ(dialog.TipIndex(), 1);
  EXPECT_TRUE(dialog.ShowAtStartup());
  EXPECT_TRUE(dialog.cbShowTipsStartup->isEnabled());
}

TEST_F(TipDialogTest, StoredIndexPastTheEndShowsTheFirstTip) {
  TTipOfTheDayDialog dialog;
  dialog.SetFileName(Write("eins\nzwei\ndrei\n"));
  dialog.SetTipIndex(7);
  dialog.show();
  EXPECT_EQ(dialog.TipOfTheDay1->Tip(), "eins");
  EXPECT_EQ(dialog.TipIndex(), 1);
}

TEST_F(TipDialogTest, EscapesShownAsTheFileFormatSays) {
  TTipOfTheDayDialog dialog;
  dialog.SetFileName(Write("a\\\\nb\na\\nb\n"));
  dialog.show();
  EXPECT_EQ(dialog.TipOfTheDay1->Tip(), "a\\nb");
  QTest::mouseClick(dialog.btnNextTip, Qt::LeftButton);
  EXPECT_EQ(dialog.TipOfTheDay1->Tip(), "a\nb");
}

TEST_F(TipDialogTest, OneTipLeavesNextDisabled) {
  TTipOfTheDayDialog dialog;
  dialog.SetFileName(Write("nur einer\n"));
  dialog.show();
  EXPECT_EQ(dialog.TipOfTheDay1->Tip(), "nur einer");
  EXPECT_FALSE(dialog.btnNextTip->isEnabled());
}

TEST_F(TipDialogTest, MissingFileKeepsTheErrorTextAndTurnsTheBoxOff) {
  TTipOfTheDayDialog dialog;
  dialog.SetFileName(dir_.path() + "/fehlt.txt");
  dialog.SetShowAtStartup(true);
  dialog.SetTipIndex(2);
  dialog.show();
  EXPECT_EQ(dialog.TipOfTheDay1->Tip(), kErrorText);
  EXPECT_FALSE(dialog.btnNextTip->isEnabled());
  EXPECT_FALSE(dialog.cbShowTipsStartup->isChecked());
  EXPECT_FALSE(dialog.cbShowTipsStartup->isEnabled());
  EXPECT_FALSE(dialog.ShowAtStartup());
}

TEST_F(TipDialogTest, EmptyFileKeepsTheErrorTextButTheBox) {
  TTipOfTheDayDialog dialog;
  dialog.SetFileName(Write(""));
  dialog.SetShowAtStartup(true);
  dialog.show();
  EXPECT_EQ(dialog.TipOfTheDay1->Tip(), kErrorText);
  EXPECT_FALSE(dialog.btnNextTip->isEnabled());
  EXPECT_TRUE(dialog.ShowAtStartup());
  EXPECT_TRUE(dialog.cbShowTipsStartup->isEnabled());
}

TEST_F(TipDialogTest, WithoutFileNameTheShippedTipsAreShown) {
  TTipOfTheDayDialog dialog;
  dialog.show();
  EXPECT_EQ(dialog.FileName(), DefaultTipsFileName());
  EXPECT_NE(dialog.TipOfTheDay1->Tip(), kErrorText);
  EXPECT_TRUE(dialog.btnNextTip->isEnabled());
}

TEST_F(TipDialogTest, RunTakesIndexAndStartupFlagBack) {
  const QString file = Write("eins\nzwei\ndrei\n");
  int index = 2;
  bool atStartup = true;
  QString firstShown;
  // Runs inside the modal loop: next tip, untick the box, close.
  QTimer::singleShot(0, [&] {
    TTipOfTheDayDialog* dialog = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* d = qobject_cast<TTipOfTheDayDialog*>(w)) dialog = d;
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isModal());
    firstShown = dialog->TipOfTheDay1->Tip();
    QTest::mouseClick(dialog->btnNextTip, Qt::LeftButton);
    dialog->cbShowTipsStartup->setChecked(false);
    QTest::keyClick(dialog, Qt::Key_Escape);
  });
  RunTipOfTheDay(nullptr, index, atStartup, file);
  EXPECT_EQ(firstShown, "drei");
  EXPECT_EQ(index, 1);
  EXPECT_FALSE(atStartup);
}

}  // namespace
}  // namespace vexa::ide
