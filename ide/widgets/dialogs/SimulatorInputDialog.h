#pragma once

// The dialog in which the user gives the value a simulated VXBasic program
// reads with INPUT. The entries confirmed before are offered again, newest
// first, for the whole program run.

#include <QDialog>
#include <QStringList>

#include <optional>

class QComboBox;
class QPushButton;

namespace vexa::ide {

class TSimulatorInputDialog : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kHistorySize = 10;

  explicit TSimulatorInputDialog(QWidget* Parent = nullptr);

  // Value = V; the combo box shows it in decimal, selected.
  void SetValue(int V);
  int Value() const { return value_; }

  // OK: the text must be a decimal 32-bit integer, else an error box and
  // the dialog stays open; a good text moves to the top of the history.
  void accept() override;

  QComboBox* cbValue() const { return cbValue_; }
  QPushButton* OkButton() const { return ok_; }
  QPushButton* CancelButton() const { return cancel_; }

  // The history shared by every dialog of this program run.
  static const QStringList& History();
  static void ClearHistory();

 private:
  QComboBox* cbValue_;
  QPushButton* ok_;
  QPushButton* cancel_;
  int value_ = 0;
};

// Start-up: publishes the VXBasic project factory and installs the dialog
// below as the simulator's input.
void RegisterBASICProjects();

// Shows the dialog modally over the active window, preset with Preset; the
// value entered, none when cancelled. The simulator's input (TQtDialogs).
std::optional<int> ShowSimulatorInputDialog(int Preset);

}  // namespace vexa::ide
