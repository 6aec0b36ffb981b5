#include "DockingTestSupport.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QStatusBar>

namespace vexa::ide {
namespace {

using test::Settle;

// A font in which every status text fits the panels' base widths.
void SetStatusFontPixels(TVexaMainForm& Main, int Pixels) {
  QFont font = Main.StatusBar()->font();
  font.setPixelSize(Pixels);
  Main.StatusBar()->setFont(font);
  Settle();
}

TEST(TVexaMainForm, StatusPanelsHaveTheirWidthsAndTheTextPanelTakesTheRest) {
  test::TMainWindowFixture w;
  SetStatusFontPixels(w.Main, 6);
  struct Panel {
    int Width;
    Qt::Alignment Align;
  } const fixed[] = {{80, Qt::AlignCenter}, {64, Qt::AlignCenter}, {80, Qt::AlignCenter}};
  int right = -1;
  for (int i = 0; i < 3; ++i) {
    QLabel* panel = w.Main.StatusPanel(i);
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->width(), fixed[i].Width) << i;
    EXPECT_EQ(panel->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter) << i;
    EXPECT_GT(panel->x(), right) << "left to right";
    right = panel->geometry().right();
  }
  QLabel* text = w.Main.StatusPanel(StatusPanelText);
  EXPECT_GT(text->x(), right);
  EXPECT_GE(text->width(), 50);
  EXPECT_EQ(w.Main.StatusPanel(4), nullptr);
  EXPECT_EQ(w.Main.StatusPanel(-1), nullptr);

  // Every pixel the window gains goes to the text panel.
  const int before = text->width();
  w.Main.resize(w.Main.width() + 200, w.Main.height());
  Settle();
  EXPECT_EQ(text->width(), before + 200);
  EXPECT_EQ(w.Main.StatusPanel(0)->width(), 80);

  // A long text neither widens the window nor moves the fixed panels; a
  // narrow window still leaves 50 pixels for it.
  const QString progress = QStringLiteral("Download: %1 Bytes übertragen ").repeated(8);
  w.Main.SetPanelText(StatusPanelText, progress);
  Settle();
  EXPECT_EQ(w.Main.PanelText(StatusPanelText), progress);
  EXPECT_EQ(text->width(), before + 200);
  EXPECT_LT(w.Main.minimumSizeHint().width(), 900);
  w.Main.resize(10, w.Main.height());
  Settle();
  EXPECT_GE(text->width(), 50);
}

// Each fixed panel shows its longest text whole in any font of the status
// bar, and keeps its base width where the texts fit.
TEST(TVexaMainForm, FixedStatusPanelsFitTheirLongestTextsInTheStatusBarsFont) {
  test::TMainWindowFixture w;
  const int base[] = {80, 64, 80};
  const QStringList texts[] = {
      {" 999999:999 ", "      1:  1 "},
      {QString::fromUtf8("Verändert")},
      {QString::fromUtf8("Überschreiben"), "Nur lesen", QString::fromUtf8("Einfügen")}};
  for (int pixels : {6, 40, 6}) {
    SCOPED_TRACE(pixels);
    SetStatusFontPixels(w.Main, pixels);
    int right = -1;
    for (int i = 0; i < 3; ++i) {
      QLabel* panel = w.Main.StatusPanel(i);
      EXPECT_EQ(panel->font().pixelSize(), pixels);
      if (pixels < 10) {
        EXPECT_EQ(panel->width(), base[i]) << i;
      }
      EXPECT_GE(panel->width(), base[i]) << i;
      for (const QString& text : texts[i]) {
        w.Main.SetPanelText(i, text);
        EXPECT_LE(panel->sizeHint().width(), panel->width()) << text.toStdString();
      }
      EXPECT_GT(panel->x(), right) << "no overlap";
      right = panel->geometry().right();
    }
    EXPECT_GT(w.Main.StatusPanel(StatusPanelText)->x(), right);
  }
}

class TCountingMainForm final : public TVexaMainForm {
 public:
  int Shown = 0;
  std::unique_ptr<test::TTestToolWindow> Tool;

 protected:
  void FirstShown() override {
    ++Shown;
    // The place where the IDE docks its tool windows.
    Tool = std::make_unique<test::TTestToolWindow>(this);
    Tool->DockInto(this, DockPanelBottom);
  }
};

TEST(TVexaMainForm, FirstShownRunsOnceAndCanDockToolWindows) {
  test::TestApp();
  TCountingMainForm main;
  main.resize(600, 450);
  EXPECT_EQ(main.Shown, 0);
  main.show();
  (void)QTest::qWaitForWindowExposed(&main);
  Settle();
  main.hide();
  main.show();
  Settle();
  EXPECT_EQ(main.Shown, 1);
  ASSERT_NE(main.Tool->DockWidget(), nullptr);
  EXPECT_EQ(main.dockWidgetArea(main.Tool->DockWidget()), Qt::BottomDockWidgetArea);
  EXPECT_TRUE(main.Tool->Form()->isVisible());
}

TEST(TVexaMainForm, ShowDockPanelWithoutClientGivesAThirdAndHidingFreesTheArea) {
  test::TMainWindowFixture w;
  test::TTestToolWindow tool(&w.Main);
  QWidget* bottom = w.Main.DockPanel(Qt::BottomDockWidgetArea);
  tool.DockInto(&w.Main, bottom);
  Settle();

  w.Main.ShowDockPanel(bottom, false, nullptr);
  Settle();
  EXPECT_EQ(w.AreaExtent(Qt::BottomDockWidgetArea), 0);
  EXPECT_TRUE(tool.DockWidget()->isHidden());

  tool.DockWidget()->show();
  Settle();
  w.Main.ShowDockPanel(bottom, true, nullptr);
  Settle();
  EXPECT_EQ(tool.DockWidget()->height(), w.Main.height() / 3);

  // Sites of another window or none are ignored.
  TVexaMainForm other;
  w.Main.ShowDockPanel(other.DockPanel(Qt::BottomDockWidgetArea), false, nullptr);
  w.Main.ShowDockPanel(nullptr, false, nullptr);
  Settle();
  EXPECT_FALSE(tool.DockWidget()->isHidden());
}

}  // namespace
}  // namespace vexa::ide
