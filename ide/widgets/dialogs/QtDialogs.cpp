#include "widgets/dialogs/QtDialogs.h"

#include "model/core/Helpers.h"
#include "model/settings/Options.h"
#include "widgets/dialogs/ModuleDialogs.h"
#include "widgets/dialogs/SimulatorInputDialog.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace vexa::ide {
namespace {

struct Button {
  QMessageBox::StandardButton standard;
  const char* text;
};

QMessageBox::StandardButton Ask(QMessageBox::Icon icon, const QString& text,
                                std::initializer_list<Button> buttons,
                                QMessageBox::StandardButton escape) {
  QApplication::beep();
  QString shown = text;
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  QMessageBox box(icon, QString::fromUtf8(kApplicationTitle), shown, QMessageBox::NoButton,
                  QApplication::activeWindow());
  box.setTextFormat(Qt::PlainText);
  for (const Button& b : buttons) box.addButton(b.standard)->setText(QString::fromUtf8(b.text));
  box.setDefaultButton(buttons.begin()->standard);
  box.setEscapeButton(escape);
  box.exec();
  QAbstractButton* clicked = box.clickedButton();
  return clicked ? box.standardButton(clicked) : escape;
}

// The folder a file dialog opens at. The user's project folder is made when a
// dialog first needs it; any other missing folder gives its nearest existing
// parent, as Qt would otherwise take the missing part for a file name.
QString StartFolder(const QString& Dir) {
  if (Dir.isEmpty()) return Dir;
  QString path = QDir::cleanPath(QDir(ToLocalSeparators(Dir)).absolutePath());
  if (path == QDir::cleanPath(options::UserProjectPath())) QDir().mkpath(path);
  while (!QFileInfo(path).isDir()) {
    const QString parent = QFileInfo(path).path();
    if (parent == path) break;
    path = parent;
  }
  return path;
}

}  // namespace

void TQtDialogs::ShowError(const QString& Text) {
  Ask(QMessageBox::Critical, Text, {{QMessageBox::Ok, "OK"}}, QMessageBox::Ok);
}

bool TQtDialogs::Confirm(const QString& Text) {
  return Ask(QMessageBox::Question, Text, {{QMessageBox::Yes, "&Ja"}, {QMessageBox::No, "&Nein"}},
             QMessageBox::No) == QMessageBox::Yes;
}

int TQtDialogs::ConfirmCancel(const QString& Text) {
  switch (Ask(
      QMessageBox::Question, Text,
      {{QMessageBox::Yes, "&Ja"}, {QMessageBox::No, "&Nein"}, {QMessageBox::Cancel, "Abbrechen"}},
      QMessageBox::Cancel)) {
    case QMessageBox::Yes: return IdYes;
    case QMessageBox::No: return IdNo;
    default: return IdCancel;
  }
}

bool TQtDialogs::ExecuteFileDialog(TFileDialog& Dialog) {
  const bool save = Dialog.DialogMode == TFileDialog::Mode::Save;
  // Without a title of its own, the mode's German default (Qt's own is English).
  const QString title = !Dialog.Title.isEmpty() ? Dialog.Title
                        : save                  ? QStringLiteral("Speichern unter")
                                                : QStringLiteral("Öffnen");
  QFileDialog dialog(QApplication::activeWindow(), title, StartFolder(Dialog.InitialDir));
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save                 ? QFileDialog::AnyFile
                     : Dialog.MultiSelect ? QFileDialog::ExistingFiles
                                          : QFileDialog::ExistingFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !save);
  const QStringList filters = FileDialogFilters(Dialog.Filter);
  if (!filters.isEmpty()) {
    dialog.setNameFilters(filters);
    int index =
        Dialog.FilterIndex >= 1 && Dialog.FilterIndex <= filters.size() ? Dialog.FilterIndex : 1;
    dialog.selectNameFilter(filters[index - 1]);
  }
  if (!Dialog.DefaultExt.isEmpty()) dialog.setDefaultSuffix(Dialog.DefaultExt);
  if (!Dialog.FileName.isEmpty()) dialog.selectFile(ExtractFileName(Dialog.FileName));
  dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("Suchen in:"));
  dialog.setLabelText(QFileDialog::FileName, QStringLiteral("Dateiname:"));
  dialog.setLabelText(QFileDialog::FileType, QStringLiteral("Dateityp:"));
  dialog.setLabelText(QFileDialog::Accept,
                      save ? QStringLiteral("Speichern") : QStringLiteral("Öffnen"));
  dialog.setLabelText(QFileDialog::Reject, QStringLiteral("Abbrechen"));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  Dialog.Files = dialog.selectedFiles();
  Dialog.FileName = Dialog.Files.first();
  if (!filters.isEmpty()) {
    int index = filters.indexOf(dialog.selectedNameFilter());
    if (index >= 0) Dialog.FilterIndex = index + 1;
  }
  return true;
}

bool TQtDialogs::InputQuery(const QString& Caption, const QString& Prompt, QString& Value) {
  QInputDialog dialog(QApplication::activeWindow());
  dialog.setWindowTitle(Caption);
  dialog.setLabelText(Prompt);
  dialog.setTextValue(Value);
  dialog.setOkButtonText(QStringLiteral("OK"));
  dialog.setCancelButtonText(QStringLiteral("Abbrechen"));
  if (dialog.exec() != QDialog::Accepted) return false;
  Value = dialog.textValue();
  return true;
}

std::optional<int> TQtDialogs::SimulatorInput(int Preset) {
  return ShowSimulatorInputDialog(Preset);
}

bool TQtDialogs::EditModules(TModuleKind Kind, const Ref<IVexaProject>& Project) {
  if (!Project) return false;
  ShowModulesDialog(Kind, Project);
  return true;
}

}  // namespace vexa::ide
