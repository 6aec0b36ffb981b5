#pragma once

// Every message box and file dialog of the IDE goes through one IDialogs
// object, installed for the whole process: the Qt one in the program
// (widgets/dialogs/QtDialogs.h), a recording fake in tests
// (tests/support/FakeDialogs.h).

#include "model/core/VexaIntfs.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace vexa::ide {

// Answers of ConfirmCancel (the codes the projects and editors compare with).
constexpr int IdYes = 6;
constexpr int IdNo = 7;
constexpr int IdCancel = 2;

// One file dialog's settings, kept by its owner between runs like a dialog
// component: the owner fills it, runs it, and reads the chosen names back.
struct TFileDialog {
  enum class Mode { Open, Save };
  Mode DialogMode = Mode::Open;
  QString Title;        // empty: "Öffnen" or "Speichern unter" by the mode
  QString Filter;       // "Vexa II Module|*.v2|Alle Dateien|*.*"
  int FilterIndex = 1;  // 1-based; one outside the filters selects the first
  QString DefaultExt;   // without the dot; added to a name typed without one
  QString InitialDir;
  QString FileName;          // proposed name; after OK the (first) chosen file
  QStringList Files;         // after OK every chosen file
  bool MultiSelect = false;  // open: several files
};

class IDialogs {
 public:
  virtual ~IDialogs() = default;
  // Error sound, then the text with an OK button and the stop icon.
  virtual void ShowError(const QString& Text) = 0;
  // Question sound, then Yes and No; true for Yes.
  virtual bool Confirm(const QString& Text) = 0;
  // Question sound, then Yes, No and Cancel: IdYes, IdNo or IdCancel.
  virtual int ConfirmCancel(const QString& Text) = 0;
  // Modal; true with Dialog.FileName, Files and FilterIndex set when the
  // user chose, false (Dialog unchanged) when cancelled.
  virtual bool ExecuteFileDialog(TFileDialog& Dialog) = 0;
  // Modal one-line text input with Caption, Prompt and Value as the initial
  // text; true with Value set to the entered text on OK, false (Value
  // unchanged) when cancelled.
  virtual bool InputQuery(const QString& Caption, const QString& Prompt, QString& Value) = 0;
  // Modal input of the integer a simulated program's INPUT reads, Preset
  // shown first; none when cancelled.
  virtual std::optional<int> SimulatorInput(int Preset) = 0;

  // Modal module list of Project, acting on the project at once: Kind
  // TModuleKind::Project its own modules, TModuleKind::System or TModuleKind::Common
  // the selection of that kind. False when nothing was shown.
  virtual bool EditModules(TModuleKind Kind, const Ref<IVexaProject>& Project) = 0;
};

// The installed dialogs. With none installed, texts go to standard error,
// questions answer No or Cancel, file dialogs and inputs (a simulator's
// included) are cancelled.
IDialogs& Dialogs();
// Installs Dialogs (none: back to standard error); returns the previous ones.
std::shared_ptr<IDialogs> SetDialogs(std::shared_ptr<IDialogs> Dialogs);

// "Description|pattern|..." as Qt name filters: "Description (pattern)", with
// "*.*" written as "*".
QStringList FileDialogFilters(const QString& Filter);

}  // namespace vexa::ide
