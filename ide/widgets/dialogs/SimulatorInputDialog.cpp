#include "widgets/dialogs/SimulatorInputDialog.h"

#include "model/core/Helpers.h"
#include "model/core/Services.h"
#include "model/projects/BasicProject.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vexa::ide {

namespace {

QStringList& HistoryList() {
  static QStringList history;
  return history;
}

}  // namespace

TSimulatorInputDialog::TSimulatorInputDialog(QWidget* Parent) : QDialog(Parent) {
  setWindowTitle(QStringLiteral("Eingabe für Simulator"));
  auto* label = new QLabel(QStringLiteral("Geben Sie einen ganzzahligen 16-Bit-Wert ein:"), this);
  cbValue_ = new QComboBox(this);
  cbValue_->setObjectName(QStringLiteral("cbValue"));
  cbValue_->setEditable(true);
  cbValue_->setInsertPolicy(QComboBox::NoInsert);
  cbValue_->addItems(HistoryList());
  label->setBuddy(cbValue_);
  ok_ = new QPushButton(QStringLiteral("OK"), this);
  ok_->setDefault(true);
  cancel_ = new QPushButton(QStringLiteral("Abbrechen"), this);
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok_);
  buttons->addWidget(cancel_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(label);
  layout->addWidget(cbValue_);
  layout->addLayout(buttons);
  setFixedSize(sizeHint());
}

void TSimulatorInputDialog::SetValue(int V) {
  value_ = V;
  cbValue_->setEditText(QString::number(V));
  // Selected, so that the keys typed replace the preset.
  cbValue_->lineEdit()->selectAll();
}

void TSimulatorInputDialog::accept() {
  const QString text = cbValue_->currentText();
  bool ok = false;
  const int value = text.trimmed().toInt(&ok, 10);
  if (!ok) {
    ShowError(QStringLiteral("Kein Integer-Wert oder nicht im gültigen Bereich!"));
    cbValue_->setFocus(Qt::OtherFocusReason);
    cbValue_->lineEdit()->selectAll();
    return;
  }
  value_ = value;
  QStringList& history = HistoryList();
  history.removeAll(text);
  history.prepend(text);
  while (history.size() > kHistorySize) history.removeLast();
  QDialog::accept();
}

const QStringList& TSimulatorInputDialog::History() { return HistoryList(); }
void TSimulatorInputDialog::ClearHistory() { HistoryList().clear(); }

std::optional<int> ShowSimulatorInputDialog(int Preset) {
  TSimulatorInputDialog dialog(QApplication::activeWindow());
  dialog.SetValue(Preset);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Value();
}

void RegisterBASICProjects() { BASICProjectFactory = std::make_shared<TVexaBASICFactory>(); }

}  // namespace vexa::ide
