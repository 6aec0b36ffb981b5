#include "widgets/mainwindow/VexaSplashForm.h"

#include "TestApp.h"
#include "Version.h"

#include <QLabel>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace vexa::ide {
namespace {

TEST(SplashForm, PictureAndVersion) {
  test::TestApp();
  TVexaSplashForm form(nullptr, true);
  ASSERT_FALSE(form.imgSplash->pixmap().isNull());
  EXPECT_EQ(form.size(), form.imgSplash->pixmap().size());
  EXPECT_EQ(form.lblVersion->text(), QString("Version ") + kVersionString);
  EXPECT_TRUE(QRegularExpression(R"(^Version \d+\.\d+\.\d+\.\d+$)")
                  .match(form.lblVersion->text())
                  .hasMatch());
  // Right-aligned at the top right, in white.
  EXPECT_TRUE(form.lblVersion->alignment() & Qt::AlignRight);
  EXPECT_GT(form.lblVersion->geometry().left(), form.width() / 2);
  EXPECT_LT(form.lblVersion->geometry().bottom(), form.height() / 4);
  EXPECT_EQ(form.lblVersion->palette().color(QPalette::WindowText), QColor(Qt::white));
}

struct CloseCase {
  const char* name;
  std::function<void(TVexaSplashForm&)> act;
  bool closesAbout;
};

class SplashFormClosing : public ::testing::TestWithParam<CloseCase> {};

TEST_P(SplashFormClosing, AboutBoxClosesSplashStays) {
  test::TestApp();
  for (bool isSplash : {false, true}) {
    TVexaSplashForm form(nullptr, isSplash);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    GetParam().act(form);
    const bool expectOpen = isSplash || !GetParam().closesAbout;
    EXPECT_EQ(form.isVisible(), expectOpen) << (isSplash ? "splash" : "About box");
    if (!expectOpen) {
      EXPECT_EQ(form.result(), QDialog::Accepted);
    }
  }
}

const CloseCase kCloseCases[] = {
    {"Escape", [](TVexaSplashForm& f) { QTest::keyClick(&f, Qt::Key_Escape); }, true},
    {"Return", [](TVexaSplashForm& f) { QTest::keyClick(&f, Qt::Key_Return); }, true},
    {"Enter", [](TVexaSplashForm& f) { QTest::keyClick(&f, Qt::Key_Enter); }, true},
    {"KeypadEnter",
     [](TVexaSplashForm& f) { QTest::keyClick(&f, Qt::Key_Enter, Qt::KeypadModifier); }, true},
    {"ClickOnPicture",
     [](TVexaSplashForm& f) {
       QTest::mouseClick(f.imgSplash, Qt::LeftButton, {}, QPoint(40, 200));
     },
     true},
    {"RightClickOnPicture",
     [](TVexaSplashForm& f) { QTest::mouseClick(f.imgSplash, Qt::RightButton); }, true},
    {"ShiftEscape",
     [](TVexaSplashForm& f) { QTest::keyClick(&f, Qt::Key_Escape, Qt::ShiftModifier); }, false},
    {"CtrlReturn",
     [](TVexaSplashForm& f) { QTest::keyClick(&f, Qt::Key_Return, Qt::ControlModifier); }, false},
    {"AltEnter", [](TVexaSplashForm& f) { QTest::keyClick(&f, Qt::Key_Enter, Qt::AltModifier); },
     false},
    {"Space", [](TVexaSplashForm& f) { QTest::keyClick(&f, Qt::Key_Space); }, false},
};

INSTANTIATE_TEST_SUITE_P(Input, SplashFormClosing, ::testing::ValuesIn(kCloseCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SplashForm, ClickOnTheVersionLabelIsAClickOnThePicture) {
  test::TestApp();
  TVexaSplashForm form(nullptr, false);
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  const QPoint onLabel = form.lblVersion->geometry().center();
  QWidget* target = form.childAt(onLabel);
  ASSERT_EQ(target, form.imgSplash);
  QTest::mouseClick(target, Qt::LeftButton, {}, onLabel);
  EXPECT_FALSE(form.isVisible());
}

TEST(SplashForm, CentredOnTheScreenOrOverTheOwner) {
  test::TestApp();
  QWidget owner;
  owner.setGeometry(30, 40, 900, 700);
  owner.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
  TVexaSplashForm about(&owner, false);
  about.show();
  EXPECT_LE((about.frameGeometry().center() - owner.frameGeometry().center()).manhattanLength(), 2);

  TVexaSplashForm splash(nullptr, true);
  splash.show();
  const QRect screen = splash.screen()->availableGeometry();
  EXPECT_LE((splash.frameGeometry().center() - screen.center()).manhattanLength(), 2);
}

TEST(ShowSplash, ShownUnlessSwitchedOffAndClosedAgain) {
  test::TestApp();
  ShowSplash({"vexaide", "-NOSPLASH"});
  EXPECT_EQ(VexaSplashForm, nullptr);
  ShowSplash({"vexaide", "-Ns"});
  EXPECT_EQ(VexaSplashForm, nullptr);

  ShowSplash({"vexaide", "/ns", "project.v2p"});
  ASSERT_NE(VexaSplashForm, nullptr);
  EXPECT_TRUE(VexaSplashForm->IsSplash());
  EXPECT_TRUE(VexaSplashForm->isVisible());
  EXPECT_TRUE(VexaSplashForm->windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_TRUE(VexaSplashForm->windowFlags() & Qt::FramelessWindowHint);
  QPointer<TVexaSplashForm> shown = VexaSplashForm;
  CloseSplash();
  EXPECT_EQ(VexaSplashForm, nullptr);
  EXPECT_TRUE(shown.isNull());
  CloseSplash();  // nothing to close
  EXPECT_EQ(VexaSplashForm, nullptr);
}

}  // namespace
}  // namespace vexa::ide
