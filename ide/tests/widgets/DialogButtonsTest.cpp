#include "widgets/dialogs/DialogButtons.h"

#include "TestApp.h"
#include "widgets/dialogs/NewProjectOrModuleDialog.h"
#include "widgets/editor/ConfirmReplaceDialog.h"
#include "widgets/editor/PrintSourceDialog.h"
#include "widgets/editor/SearchDialogs.h"

#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <functional>
#include <memory>

namespace vexa::ide {
namespace {

QPushButton* ButtonWithText(QDialog& Dialog, const QString& Text) {
  for (QPushButton* button : Dialog.findChildren<QPushButton*>())
    if (button->text() == Text) return button;
  return nullptr;
}

TEST(AddOkCancel, OkIsTheDefaultAndAcceptsOnceAbbrechenRejectsOtherRolesDoNeither) {
  test::TestApp();
  for (const char* clicked : {"OK", "Abbrechen", "&Mehr"}) {
    SCOPED_TRACE(clicked);
    QDialog dialog;
    auto* box = new QDialogButtonBox(&dialog);
    box->addButton(QStringLiteral("&Mehr"), QDialogButtonBox::ActionRole);
    AddOkCancel(box, &dialog);
    QSignalSpy accepted(&dialog, &QDialog::accepted);
    QSignalSpy rejected(&dialog, &QDialog::rejected);
    dialog.show();

    QPushButton* ok = ButtonWithText(dialog, "OK");
    QPushButton* cancel = ButtonWithText(dialog, "Abbrechen");
    ASSERT_NE(ok, nullptr);
    ASSERT_NE(cancel, nullptr);
    EXPECT_TRUE(ok->isDefault());
    EXPECT_FALSE(cancel->isDefault());
    EXPECT_EQ(box->buttonRole(ok), QDialogButtonBox::AcceptRole);
    EXPECT_EQ(box->buttonRole(cancel), QDialogButtonBox::RejectRole);

    QTest::mouseClick(ButtonWithText(dialog, clicked), Qt::LeftButton);
    const bool isOk = QString(clicked) == "OK";
    const bool isCancel = QString(clicked) == "Abbrechen";
    EXPECT_EQ(accepted.count(), isOk ? 1 : 0);
    EXPECT_EQ(rejected.count(), isCancel ? 1 : 0);
    EXPECT_EQ(dialog.isVisible(), !isOk && !isCancel);
  }
}

// The buttons of Dialog, shown, from left to right; all stand in one row.
QList<QPushButton*> ButtonsInARow(QDialog& Dialog) {
  Dialog.show();
  EXPECT_TRUE(QTest::qWaitForWindowExposed(&Dialog));
  QList<QPushButton*> buttons = Dialog.findChildren<QPushButton*>();
  const auto at = [](QPushButton* b) { return b->mapToGlobal(QPoint(0, 0)); };
  std::sort(buttons.begin(), buttons.end(),
            [&](QPushButton* a, QPushButton* b) { return at(a).x() < at(b).x(); });
  for (QPushButton* b : buttons)
    EXPECT_EQ(at(b).y(), at(buttons[0]).y()) << b->text().toStdString();
  return buttons;
}

QStringList Captions(const QList<QPushButton*>& Buttons) {
  QStringList captions;
  for (QPushButton* b : Buttons) captions << b->text();
  return captions;
}

// The replace question and the print options show their buttons in their own
// order, not sorted by role.
TEST(ButtonsInTheirOwnOrder, ReplaceQuestionJaNeinAbbrechenAlle) {
  test::TestApp();
  TConfirmReplaceDialog dialog;
  dialog.Prepare(QRect(0, 0, 1000, 800), 10, 10, 30, "a");
  const QList<QPushButton*> buttons = ButtonsInARow(dialog);
  EXPECT_EQ(Captions(buttons), QStringList({"&Ja", "&Nein", "Abbrechen", "A&lle"}));
  ASSERT_EQ(buttons.size(), 4);
  EXPECT_TRUE(buttons[0]->isDefault());
}

TEST(ButtonsInTheirOwnOrder, PrintOptionsEinstellungenOkAbbrechen) {
  test::TestApp();
  TPrintSourceDialog dialog;
  const QList<QPushButton*> buttons = ButtonsInARow(dialog);
  EXPECT_EQ(Captions(buttons), QStringList({"&Einstellungen...", "OK", "Abbrechen"}));
  ASSERT_EQ(buttons.size(), 3);
  EXPECT_TRUE(buttons[1]->isDefault());
}

// The dialogs whose buttons come from AddOkCancel.
struct DialogCase {
  const char* name;
  std::function<std::unique_ptr<QDialog>()> make;
};

class OkCancelDialogs : public testing::TestWithParam<DialogCase> {};

TEST_P(OkCancelDialogs, OkAcceptsAndAbbrechenRejects) {
  test::TestApp();
  for (const char* clicked : {"OK", "Abbrechen"}) {
    SCOPED_TRACE(clicked);
    std::unique_ptr<QDialog> dialog = GetParam().make();
    dialog->show();
    QPushButton* ok = ButtonWithText(*dialog, "OK");
    ASSERT_NE(ok, nullptr);
    ASSERT_NE(ButtonWithText(*dialog, "Abbrechen"), nullptr);
    EXPECT_TRUE(ok->isDefault());
    QTest::mouseClick(ButtonWithText(*dialog, clicked), Qt::LeftButton);
    EXPECT_EQ(dialog->result(), QString(clicked) == "OK" ? QDialog::Accepted : QDialog::Rejected);
    EXPECT_FALSE(dialog->isVisible());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Dialogs, OkCancelDialogs,
    testing::Values(DialogCase{"Search", [] { return std::make_unique<TTextSearchDialog>(); }},
                    DialogCase{"Replace", [] { return std::make_unique<TTextReplaceDialog>(); }},
                    DialogCase{"Print", [] { return std::make_unique<TPrintSourceDialog>(); }},
                    DialogCase{"NewItem",
                               [] { return std::make_unique<TNewProjectOrModuleDialog>(); }}),
    [](const testing::TestParamInfo<DialogCase>& Info) { return std::string(Info.param.name); });

}  // namespace
}  // namespace vexa::ide
