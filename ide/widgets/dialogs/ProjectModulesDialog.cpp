#include "widgets/dialogs/ProjectModulesDialog.h"

#include "widgets/dialogs/ModuleDialogs.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include <algorithm>

namespace vexa::ide {

using module_dialogs::MakeButton;
using module_dialogs::PlaceControls;

TProjectModulesDialog::TProjectModulesDialog(QWidget* Parent) : QDialog(Parent) {
  setObjectName(QStringLiteral("ProjectModulesDialog"));
  setWindowTitle(QStringLiteral("Projektmodule bearbeiten"));
  lblModules = new QLabel(QStringLiteral("&Projektmodule:"), this);
  lbModules = new QListWidget(this);
  lbModules->setObjectName(QStringLiteral("lbModules"));
  lbModules->setSelectionMode(QAbstractItemView::SingleSelection);
  lblModules->setBuddy(lbModules);
  btnInsert = MakeButton(this, "btnInsert", QStringLiteral("&Hinzufügen..."));
  btnDelete = MakeButton(this, "btnDelete", QStringLiteral("&Entfernen"));
  btnMoveUp = MakeButton(this, "btnMoveUp", QStringLiteral("Aufwärts"));
  btnMoveDown = MakeButton(this, "btnMoveDown", QStringLiteral("Abwärts"));
  btnClose = MakeButton(this, "btnClose", QStringLiteral("Schließen"));
  btnDelete->setEnabled(false);
  btnMoveUp->setEnabled(false);
  btnMoveDown->setEnabled(false);
  FormCreate();

  connect(btnClose, &QPushButton::clicked, this, &QDialog::reject);
  connect(btnInsert, &QPushButton::clicked, this, &TProjectModulesDialog::btnInsertClick);
  connect(btnDelete, &QPushButton::clicked, this, &TProjectModulesDialog::btnDeleteClick);
  connect(btnMoveUp, &QPushButton::clicked, this, &TProjectModulesDialog::btnMoveUpClick);
  connect(btnMoveDown, &QPushButton::clicked, this, &TProjectModulesDialog::btnMoveDownClick);
  // A mouse press moves the current row before it selects it.
  connect(lbModules, &QListWidget::itemSelectionChanged, this,
          &TProjectModulesDialog::lbModulesClick);
}

void TProjectModulesDialog::FormCreate() {
  PlaceControls(this, lblModules, lbModules, btnClose,
                {btnInsert, btnDelete, btnMoveUp, btnMoveDown});
}

void TProjectModulesDialog::Init(const Ref<IVexaProject>& Project) {
  FProject = Project;
  RefreshList();
}

void TProjectModulesDialog::showEvent(QShowEvent* Event) {
  QDialog::showEvent(Event);
  FormShow();
}

void TProjectModulesDialog::FormShow() {
  RefreshList();
  SelectRow(0);
  UpdateButtons();
}

void TProjectModulesDialog::lbModulesClick() { UpdateButtons(); }

void TProjectModulesDialog::SelectRow(int Row) {
  if (Row >= 0 && Row < lbModules->count())
    lbModules->setCurrentRow(Row, QItemSelectionModel::ClearAndSelect);
  else
    lbModules->setCurrentRow(-1);
}

void TProjectModulesDialog::RefreshList() {
  const QListWidgetItem* selected = lbModules->currentItem();
  const QString name = selected && selected->isSelected() ? selected->text() : QString();
  const bool hadSelection = selected && selected->isSelected();
  lbModules->setUpdatesEnabled(false);
  {
    const QSignalBlocker block(lbModules);
    lbModules->clear();
    FModules.clear();
    if (FProject) {
      for (int i = 0; i < FProject->GetModuleCount(); ++i) {
        Ref<IVexaModule> module = FProject->GetModule(i);
        if (!module || module->GetKind() != TModuleKind::Project) continue;
        FModules.push_back(module);
        lbModules->addItem(module->GetName());
      }
    }
    int row = -1;
    if (hadSelection)
      for (int i = 0; i < lbModules->count() && row < 0; ++i)
        if (lbModules->item(i)->text() == name) row = i;
    SelectRow(row);
  }
  lbModules->setUpdatesEnabled(true);
}

void TProjectModulesDialog::UpdateButtons() {
  const int row = lbModules->currentItem() && lbModules->currentItem()->isSelected()
                      ? lbModules->currentRow()
                      : -1;
  btnDelete->setEnabled(row >= 0);
  btnMoveUp->setEnabled(row >= 1);
  btnMoveDown->setEnabled(row >= 0 && row < lbModules->count() - 1);
}

void TProjectModulesDialog::btnInsertClick() {
  if (!FProject || !FProject->InsertModule()) return;
  RefreshList();
  SelectRow(lbModules->count() - 1);
  UpdateButtons();
}

void TProjectModulesDialog::btnDeleteClick() {
  const int row = lbModules->currentRow();
  if (!FProject || row < 0 || row >= int(FModules.size())) return;
  // Held here: the project lets go of the module when it deletes it.
  const Ref<IVexaModule> module = FModules[std::size_t(row)];
  if (!FProject->DeleteModule(module)) return;
  RefreshList();
  SelectRow(std::min(row, lbModules->count() - 1));
  UpdateButtons();
}

void TProjectModulesDialog::Move(bool Up) {
  const int row = lbModules->currentRow();
  if (!FProject || row < 0 || row >= int(FModules.size())) return;
  const Ref<IVexaModule> module = FModules[std::size_t(row)];
  if (!FProject->MoveModule(module, Up)) return;
  RefreshList();
  UpdateButtons();
}

void TProjectModulesDialog::btnMoveUpClick() { Move(true); }

void TProjectModulesDialog::btnMoveDownClick() { Move(false); }

}  // namespace vexa::ide
