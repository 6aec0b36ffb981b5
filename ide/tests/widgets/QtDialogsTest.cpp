#include "widgets/dialogs/QtDialogs.h"

#include "TempSettings.h"
#include "TestApp.h"
#include "model/commands/CommandsModule.h"
#include "model/core/Helpers.h"
#include "model/settings/Options.h"
#include "model/settings/Settings.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QTest>

#include <functional>

namespace vexa::ide {
namespace {

struct Seen {
  QString caption, text;
  QStringList buttons;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
};

// Runs ask() and, once its box is up, records it and presses the button
// with the text answer (none: Escape).
Seen Answer(const std::function<void()>& ask, const QString& answer) {
  test::TestApp();
  Seen seen;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    seen.caption = box->windowTitle();
    seen.text = box->text();
    seen.icon = box->icon();
    QAbstractButton* chosen = nullptr;
    for (QAbstractButton* b : box->buttons()) {
      const QString text = QString(b->text()).remove('&');
      seen.buttons << text;
      if (text == answer) chosen = b;
    }
    if (chosen)
      chosen->click();
    else
      QTest::keyClick(box, Qt::Key_Escape);
  });
  ask();
  return seen;
}

TEST(TQtDialogs, ConfirmCancelAnswersWithTheWindowsCodes) {
  struct Case {
    const char* button;
    int expected;
  } const cases[] = {{"Ja", 6}, {"Nein", 7}, {"Abbrechen", 2}, {"", 2}};
  for (const Case& c : cases) {
    TQtDialogs dialogs;
    int result = -1;
    Seen seen = Answer([&] { result = dialogs.ConfirmCancel("Soll 100% %s gespeichert werden?"); },
                       c.button);
    EXPECT_EQ(result, c.expected) << c.button;
    EXPECT_EQ(seen.caption, "Dornik Vexa IDE");
    EXPECT_EQ(seen.text, "Soll 100% %s gespeichert werden?");
    EXPECT_EQ(seen.buttons.size(), 3);
    for (const char* b : {"Ja", "Nein", "Abbrechen"}) EXPECT_TRUE(seen.buttons.contains(b)) << b;
    EXPECT_EQ(seen.icon, QMessageBox::Question);
  }
}

TEST(TQtDialogs, ConfirmIsTrueOnlyForJa) {
  struct Case {
    const char* button;
    bool expected;
  } const cases[] = {{"Ja", true}, {"Nein", false}, {"", false}};
  for (const Case& c : cases) {
    TQtDialogs dialogs;
    bool result = !c.expected;
    Seen seen = Answer([&] { result = dialogs.Confirm("Frage"); }, c.button);
    EXPECT_EQ(result, c.expected) << c.button;
    EXPECT_EQ(seen.buttons.size(), 2);
    EXPECT_TRUE(seen.buttons.contains("Ja") && seen.buttons.contains("Nein"));
  }
}

// Runs ask() and types Key (with Modifiers) into its box once it is up.
// True when that key closed the box.
bool Type(const std::function<void()>& ask, Qt::Key Key, Qt::KeyboardModifiers Modifiers) {
  test::TestApp();
  bool seen = false, escaped = false;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    // A key no button takes leaves the box open.
    QTimer::singleShot(3000, box, [box, &escaped] {
      escaped = true;
      QTest::keyClick(box, Qt::Key_Escape);
    });
    // Alt+letter goes through the shortcuts of the active window.
    box->activateWindow();
    seen = QTest::qWaitForWindowActive(box);
    if (seen) QTest::keyClick(box, Key, Modifiers);
  });
  ask();
  return seen && !escaped;
}

// J and N answer with and without Alt, as their underlined letters say.
TEST(TQtDialogs, QuestionBoxesAnswerToTheirMnemonics) {
  struct Case {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    int confirmCancel;
    bool confirm;
  } const cases[] = {{Qt::Key_J, Qt::NoModifier, IdYes, true},
                     {Qt::Key_N, Qt::NoModifier, IdNo, false},
                     {Qt::Key_J, Qt::AltModifier, IdYes, true},
                     {Qt::Key_N, Qt::AltModifier, IdNo, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(QKeySequence(int(c.modifiers) | c.key).toString().toStdString());
    TQtDialogs dialogs;
    int answer = -1;
    EXPECT_TRUE(Type([&] { answer = dialogs.ConfirmCancel("Speichern?"); }, c.key, c.modifiers));
    EXPECT_EQ(answer, c.confirmCancel);
    bool confirmed = !c.confirm;
    EXPECT_TRUE(Type([&] { confirmed = dialogs.Confirm("Frage"); }, c.key, c.modifiers));
    EXPECT_EQ(confirmed, c.confirm);
  }
}

TEST(TQtDialogs, ErrorBoxShowsTheTextWithOneOkButton) {
  TQtDialogs dialogs;
  Seen seen = Answer([&] { dialogs.ShowError("Fehler\r\n\r\nE1: 50%d"); }, "OK");
  EXPECT_EQ(seen.caption, "Dornik Vexa IDE");
  EXPECT_EQ(seen.text, "Fehler\n\nE1: 50%d");
  EXPECT_EQ(seen.buttons, QStringList({"OK"}));
  EXPECT_EQ(seen.icon, QMessageBox::Critical);
}

TEST(TQtDialogs, SaveDialogTakesItsSettingsAndGivesTheChoiceBack) {
  test::TestApp();
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString home = QDir(dir.path()).canonicalPath();
  TFileDialog dialog;
  dialog.DialogMode = TFileDialog::Mode::Save;
  dialog.Filter = "Vexa II Projekt|*.v2p|Alle Dateien|*.*";
  dialog.FilterIndex = 2;
  dialog.DefaultExt = "v2p";
  dialog.InitialDir = home;
  dialog.FileName = "/elsewhere/robot.v2p";
  QStringList filters;
  QString selectedFilter, proposed, acceptLabel, directory;
  QTimer::singleShot(0, [&] {
    auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (!d) return;
    filters = d->nameFilters();
    selectedFilter = d->selectedNameFilter();
    acceptLabel = d->labelText(QFileDialog::Accept);
    directory = QDir(d->directory().path()).canonicalPath();
    if (!d->selectedFiles().isEmpty()) proposed = QFileInfo(d->selectedFiles().first()).fileName();
    d->selectNameFilter(filters.value(0));
    d->selectFile("neu");
    QMetaObject::invokeMethod(d, "accept");
  });
  ASSERT_TRUE(TQtDialogs().ExecuteFileDialog(dialog));
  EXPECT_EQ(filters, QStringList({"Vexa II Projekt (*.v2p)", "Alle Dateien (*)"}));
  EXPECT_EQ(selectedFilter, "Alle Dateien (*)");
  EXPECT_EQ(acceptLabel, "Speichern");
  EXPECT_EQ(directory, home);
  EXPECT_EQ(proposed, "robot.v2p");
  EXPECT_EQ(dialog.FileName, home + "/neu.v2p");
  EXPECT_EQ(dialog.Files, QStringList({home + "/neu.v2p"}));
  EXPECT_EQ(dialog.FilterIndex, 1);
}

// A file dialog without a title of its own gets the German default for its mode.
TEST(TQtDialogs, FileDialogTitles) {
  test::TestApp();
  const struct {
    TFileDialog::Mode mode;
    const char* title;
    const char* shown;
  } cases[] = {{TFileDialog::Mode::Open, "", "Öffnen"},
               {TFileDialog::Mode::Save, "", "Speichern unter"},
               {TFileDialog::Mode::Open, "Modul einfügen", "Modul einfügen"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.shown);
    TFileDialog dialog;
    dialog.DialogMode = c.mode;
    dialog.Title = QString::fromUtf8(c.title);
    QString shown;
    QTimer::singleShot(0, [&] {
      auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (!d) return;
      shown = d->windowTitle();
      d->reject();
    });
    EXPECT_FALSE(TQtDialogs().ExecuteFileDialog(dialog));
    EXPECT_EQ(shown, QString::fromUtf8(c.shown));
  }
}

TEST(TQtDialogs, CancelledFileDialogLeavesItsSettings) {
  test::TestApp();
  TFileDialog dialog;
  dialog.Filter = "Vexa II Module|*.v2";
  dialog.FilterIndex = 7;
  dialog.FileName = "kept.v2";
  QTimer::singleShot(0, [] {
    if (auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) d->reject();
  });
  EXPECT_FALSE(TQtDialogs().ExecuteFileDialog(dialog));
  EXPECT_EQ(dialog.FileName, "kept.v2");
  EXPECT_EQ(dialog.FilterIndex, 7);
  EXPECT_TRUE(dialog.Files.isEmpty());
}

// On a first start without "Projects" beside the program, the open, insert and
// save dialogs open in "Vexa Projects" in the user's home, made for them. A stored
// project folder that is missing opens at its nearest existing parent, with
// nothing in the name field.
TEST(TQtDialogs, FileDialogsOpenInTheUsersOwnProjectFolder) {
  test::TestApp();
  ASSERT_FALSE(QFileInfo::exists(ProgramDirectory() + "Projects"));
  QTemporaryDir home;
  ASSERT_TRUE(home.isValid());
  const QString homePath = QDir(home.path()).canonicalPath();
  const QByteArray ownHome = qgetenv("HOME");
  const QString ownProjectPath = options::DefaultProjectPath;
  qputenv("HOME", homePath.toLocal8Bit());
  std::shared_ptr<IDialogs> previous = SetDialogs(std::make_shared<TQtDialogs>());
  struct Shown {
    QString folder, name;
  };
  const auto look = [](const std::function<void()>& run) {
    Shown shown;
    QTimer::singleShot(0, [&] {
      auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (!d) return;
      shown.folder = d->directory().canonicalPath();
      if (auto* edit = d->findChild<QLineEdit*>("fileNameEdit")) shown.name = edit->text();
      d->reject();
    });
    run();
    return shown;
  };
  const QString projects = homePath + "/Vexa Projects";
  {
    test::TTempSettings settings;
    options::ReadOptions();
    TCommandsModule commands;
    const Shown open = look([&] { commands.FileOpen(); });
    EXPECT_EQ(open.folder, projects);
    EXPECT_EQ(open.name, "");
    EXPECT_TRUE(QFileInfo(projects).isDir());
    QString name;
    const Shown insert = look([&] { commands.ExecuteInsertModuleDialog(name); });
    EXPECT_EQ(insert.folder, projects);
    EXPECT_EQ(insert.name, "");
    const Shown save = look([&] { commands.ExecuteSaveDialog(TFileKind::V2Module, name); });
    EXPECT_EQ(save.folder, projects);
  }
  {
    test::TTempSettings settings;
    settings::WriteString("Projects", "DefaultProjectPath", homePath + "/weg/Projekte");
    options::ReadOptions();
    TCommandsModule commands;
    QString name;
    const Shown insert = look([&] { commands.ExecuteInsertModuleDialog(name); });
    EXPECT_EQ(insert.folder, homePath);
    EXPECT_EQ(insert.name, "");
    EXPECT_FALSE(QFileInfo::exists(homePath + "/weg"));
  }
  SetDialogs(previous);
  qputenv("HOME", ownHome);
  options::DefaultProjectPath = ownProjectPath;
}

TEST(TQtDialogs, InputQueryShowsCaptionPromptAndTextAndGivesTheEntryBackOnlyOnOk) {
  test::TestApp();
  for (bool ok : {true, false}) {
    SCOPED_TRACE(ok);
    TQtDialogs dialogs;
    QString caption, prompt, shown;
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
      if (!dialog) return;
      caption = dialog->windowTitle();
      prompt = dialog->labelText();
      shown = dialog->textValue();
      dialog->setTextValue(QStringLiteral("neu"));
      if (ok)
        dialog->accept();
      else
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    QString value = QStringLiteral("alt");
    EXPECT_EQ(
        dialogs.InputQuery(QStringLiteral("Wert ändern"), QStringLiteral("Neuer Wert:"), value),
        ok);
    EXPECT_EQ(caption, QStringLiteral("Wert ändern"));
    EXPECT_EQ(prompt, QStringLiteral("Neuer Wert:"));
    EXPECT_EQ(shown, QStringLiteral("alt"));
    EXPECT_EQ(value, ok ? QStringLiteral("neu") : QStringLiteral("alt"));
  }
}

}  // namespace
}  // namespace vexa::ide
