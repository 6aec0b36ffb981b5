#include "widgets/dialogs/NewProjectOrModuleDialog.h"

#include "model/core/VexaIntfs.h"
#include "widgets/dialogs/DialogButtons.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

namespace vexa::ide {

TNewProjectOrModuleDialog::TNewProjectOrModuleDialog(QWidget* Parent) : QDialog(Parent) {
  setObjectName(QStringLiteral("NewProjectOrModuleDialog"));
  setWindowTitle(QStringLiteral("Neu"));

  rgProjectOrModule = new QGroupBox(QStringLiteral("Erstelle ein neues"), this);
  rgProjectOrModule->setObjectName(QStringLiteral("rgProjectOrModule"));
  auto* group = new QVBoxLayout(rgProjectOrModule);
  const char* captions[] = {"Vexa II &Projekt", "Vexa II &Modul", "Vexa/&BASIC Projekt"};
  for (int i = 0; i < 3; ++i) {
    items_[i] = new QRadioButton(QString::fromUtf8(captions[i]), rgProjectOrModule);
    group->addWidget(items_[i]);
  }
  items_[0]->setChecked(true);

  auto* buttons = new QDialogButtonBox(this);
  AddOkCancel(buttons, this);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(rgProjectOrModule);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TNewProjectOrModuleDialog::SetKind(TFileKind Kind) {
  const int item = Kind == TFileKind::V2Project ? 0 : Kind == TFileKind::V2Module ? 1 : 2;
  items_[item]->setChecked(true);
  // The arrow keys move on from the checked item.
  items_[item]->setFocus();
}

TFileKind TNewProjectOrModuleDialog::GetKind() const {
  if (items_[0]->isChecked()) return TFileKind::V2Project;
  if (items_[1]->isChecked()) return TFileKind::V2Module;
  return TFileKind::BasicProject;
}

}  // namespace vexa::ide
