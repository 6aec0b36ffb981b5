#include "widgets/mainwindow/TipOfTheDayDialog.h"

#include "model/files/TipsFile.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace vexa::ide {

TTipOfTheDayDialog::TTipOfTheDayDialog(QWidget* Owner) : QDialog(Owner) {
  setWindowTitle(QStringLiteral("Tip des Tages"));

  TipOfTheDay1 = new TTipOfTheDay(this);
  TipOfTheDay1->setObjectName(QStringLiteral("TipOfTheDay1"));
  TipOfTheDay1->setFixedSize(400, 208);
  TipOfTheDay1->SetColorBarWidth(54);
  TipOfTheDay1->SetTip(
      QStringLiteral("Es trat ein Fehler auf beim Lesen der Datei mit den Tips des Tages..."));

  cbShowTipsStartup = new QCheckBox(QStringLiteral("&Tip des Tages beim Programmstart"), this);
  cbShowTipsStartup->setObjectName(QStringLiteral("cbShowTipsStartup"));
  btnNextTip = new QPushButton(QStringLiteral("&Nächster Tip"), this);
  btnNextTip->setObjectName(QStringLiteral("btnNextTip"));
  btnNextTip->setEnabled(false);
  btnNextTip->setAutoDefault(false);
  btnClose = new QPushButton(QStringLiteral("&Schließen"), this);
  btnClose->setObjectName(QStringLiteral("btnClose"));
  btnClose->setDefault(true);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(cbShowTipsStartup);
  buttons->addStretch();
  buttons->addWidget(btnNextTip);
  buttons->addWidget(btnClose);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 8, 8, 8);
  layout->addWidget(TipOfTheDay1);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(btnNextTip, &QPushButton::clicked, this, &TTipOfTheDayDialog::NextTip);
  connect(btnClose, &QPushButton::clicked, this, &QDialog::accept);
}

bool TTipOfTheDayDialog::ShowAtStartup() const { return cbShowTipsStartup->isChecked(); }

void TTipOfTheDayDialog::SetShowAtStartup(bool Value) { cbShowTipsStartup->setChecked(Value); }

void TTipOfTheDayDialog::NextTip() {
  QStringList lines;
  if (!ReadTipsFile(fileName_, lines)) {
    cbShowTipsStartup->setChecked(false);
    cbShowTipsStartup->setEnabled(false);
  }
  btnNextTip->setEnabled(lines.size() > 1);
  QString tip;
  if (vexa::ide::NextTip(lines, tipIndex_, tip)) TipOfTheDay1->SetTip(tip);
}

void TTipOfTheDayDialog::showEvent(QShowEvent* Event) {
  // Not when the window system shows it again (restored after minimising).
  if (!Event->spontaneous()) {
    if (fileName_.isEmpty()) fileName_ = DefaultTipsFileName();
    NextTip();
  }
  QDialog::showEvent(Event);
}

void RunTipOfTheDay(QWidget* Owner, int& TipIndex, bool& ShowAtStartup, const QString& FileName) {
  TTipOfTheDayDialog dialog(Owner);
  dialog.SetFileName(FileName);
  dialog.SetTipIndex(TipIndex);
  dialog.SetShowAtStartup(ShowAtStartup);
  dialog.exec();
  TipIndex = dialog.TipIndex();
  ShowAtStartup = dialog.ShowAtStartup();
}

}  // namespace vexa::ide
