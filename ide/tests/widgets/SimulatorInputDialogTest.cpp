#include "widgets/dialogs/SimulatorInputDialog.h"

#include "FakeDialogs.h"
#include "TestApp.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>

#include <functional>

namespace vexa::ide {
namespace {

class SimulatorInputDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::TestApp();
    TSimulatorInputDialog::ClearHistory();
  }
  void TearDown() override { TSimulatorInputDialog::ClearHistory(); }

  // Types Text into a new dialog and presses OK; true when it was accepted.
  bool Enter(const QString& Text, int* Value = nullptr) {
    TSimulatorInputDialog dialog;
    dialog.show();
    dialog.cbValue()->setEditText(Text);
    dialog.OkButton()->click();
    if (Value) *Value = dialog.Value();
    return dialog.result() == QDialog::Accepted && !dialog.isVisible();
  }

  test::TScopedFakeDialogs dialogs_;
};

TEST_F(SimulatorInputDialogTest, TheFormAndItsPresetValue) {
  TSimulatorInputDialog dialog;
  EXPECT_EQ(dialog.windowTitle(), "Eingabe für Simulator");
  EXPECT_EQ(dialog.OkButton()->text(), "OK");
  EXPECT_TRUE(dialog.OkButton()->isDefault());
  EXPECT_EQ(dialog.CancelButton()->text(), "Abbrechen");
  EXPECT_EQ(dialog.cbValue()->objectName(), "cbValue");
  dialog.SetValue(-17);
  EXPECT_EQ(dialog.Value(), -17);
  EXPECT_EQ(dialog.cbValue()->currentText(), "-17");
}

TEST_F(SimulatorInputDialogTest, AnyThirtyTwoBitIntegerIsAcceptedOtherTextsKeepTheDialogOpen) {
  int value = 0;
  EXPECT_TRUE(Enter("70000", &value));
  EXPECT_EQ(value, 70000);
  EXPECT_TRUE(Enter("-2147483648", &value));
  EXPECT_EQ(value, -2147483648LL);
  EXPECT_TRUE(dialogs_->calls.empty());
  for (const char* bad : {"abc", "", "12a", "2147483648", "&H10", "1.5"}) {
    TSimulatorInputDialog dialog;
    dialog.SetValue(3);
    dialog.show();
    dialog.cbValue()->setEditText(bad);
    dialog.CancelButton()->setFocus();
    dialog.OkButton()->click();
    EXPECT_TRUE(dialog.isVisible()) << bad;
    // The box goes back to the entry.
    QWidget* focus = dialog.focusWidget();
    EXPECT_TRUE(focus == dialog.cbValue() || focus == dialog.cbValue()->lineEdit()) << bad;
    EXPECT_NE(dialog.result(), QDialog::Accepted) << bad;
    EXPECT_EQ(dialog.Value(), 3) << bad;
  }
  EXPECT_EQ(dialogs_->Texts(), QStringList(6, "Kein Integer-Wert oder nicht im gültigen Bereich!"));
  // Refused texts never reach the history.
  EXPECT_EQ(TSimulatorInputDialog::History(), (QStringList{"-2147483648", "70000"}));
}

TEST_F(SimulatorInputDialogTest, TheHistoryKeepsTheTenNewestDistinctEntries) {
  for (int i = 1; i <= 10; ++i) ASSERT_TRUE(Enter(QString::number(i)));
  EXPECT_EQ(TSimulatorInputDialog::History().size(), 10);
  EXPECT_EQ(TSimulatorInputDialog::History().last(), "1");
  // An entry given again moves to the top, without a second copy.
  ASSERT_TRUE(Enter("4"));
  EXPECT_EQ(TSimulatorInputDialog::History().size(), 10);
  EXPECT_EQ(TSimulatorInputDialog::History().first(), "4");
  EXPECT_EQ(TSimulatorInputDialog::History().count("4"), 1);
  // The eleventh distinct entry drops the oldest.
  ASSERT_TRUE(Enter("11"));
  const QStringList expected{"11", "4", "10", "9", "8", "7", "6", "5", "3", "2"};
  EXPECT_EQ(TSimulatorInputDialog::History(), expected);
  // A cancelled dialog leaves it alone; a new one offers it.
  {
    TSimulatorInputDialog dialog;
    dialog.show();
    dialog.cbValue()->setEditText("12");
    dialog.CancelButton()->click();
  }
  TSimulatorInputDialog dialog;
  QStringList items;
  for (int i = 0; i < dialog.cbValue()->count(); ++i) items << dialog.cbValue()->itemText(i);
  EXPECT_EQ(items, expected);
}

// Answers the next modal input dialog with Fn.
void AnswerModal(std::function<void(TSimulatorInputDialog&)> Fn) {
  QTimer::singleShot(0, [Fn] {
    auto* dialog = qobject_cast<TSimulatorInputDialog*>(QApplication::activeModalWidget());
    if (!dialog) return AnswerModal(Fn);
    Fn(*dialog);
  });
}

TEST_F(SimulatorInputDialogTest, TheInstalledInputShowsThePresetAndGivesTheEntry) {
  QString shown;
  AnswerModal([&](TSimulatorInputDialog& Dialog) {
    shown = Dialog.cbValue()->currentText();
    Dialog.cbValue()->setEditText("42");
    Dialog.OkButton()->click();
  });
  EXPECT_EQ(ShowSimulatorInputDialog(5), 42);
  EXPECT_EQ(shown, "5");
  AnswerModal([](TSimulatorInputDialog& Dialog) { Dialog.CancelButton()->click(); });
  EXPECT_EQ(ShowSimulatorInputDialog(42), std::nullopt);
}

// The preset is selected when the dialog comes up: the keys typed replace it.
TEST_F(SimulatorInputDialogTest, TypedKeysReplaceThePreset) {
  QString typed;
  AnswerModal([&](TSimulatorInputDialog& Dialog) {
    QLineEdit* edit = Dialog.cbValue()->lineEdit();
    QTest::keyClicks(edit, "12");
    typed = Dialog.cbValue()->currentText();
    QTest::keyClick(edit, Qt::Key_Return);
  });
  EXPECT_EQ(ShowSimulatorInputDialog(5), 12);
  EXPECT_EQ(typed, "12");
}

// After a refused text the entry is selected again: the right number typed
// next replaces it.
TEST_F(SimulatorInputDialogTest, TypingAfterARefusedTextReplacesIt) {
  QString shown;
  AnswerModal([&](TSimulatorInputDialog& Dialog) {
    QLineEdit* edit = Dialog.cbValue()->lineEdit();
    QTest::keyClicks(edit, "abc");
    QTest::keyClick(edit, Qt::Key_Return);
    QTest::keyClicks(edit, "7");
    shown = Dialog.cbValue()->currentText();
    QTest::keyClick(edit, Qt::Key_Return);
    if (Dialog.isVisible()) Dialog.CancelButton()->click();
  });
  EXPECT_EQ(ShowSimulatorInputDialog(5), 7);
  EXPECT_EQ(shown, "7");
  EXPECT_EQ(dialogs_->Texts(), QStringList{"Kein Integer-Wert oder nicht im gültigen Bereich!"});
}

}  // namespace
}  // namespace vexa::ide
