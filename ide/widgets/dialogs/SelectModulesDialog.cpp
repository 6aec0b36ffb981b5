#include "widgets/dialogs/SelectModulesDialog.h"

#include "widgets/dialogs/ModuleDialogs.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace vexa::ide {

using module_dialogs::MakeButton;
using module_dialogs::PlaceControls;

TSelectModulesDialog::TSelectModulesDialog(QWidget* Parent) : QDialog(Parent) {
  setObjectName(QStringLiteral("SelectModulesDialog"));
  setWindowTitle(QStringLiteral("Standardmodule auswählen"));
  lblModules = new QLabel(QStringLiteral("&Verfügbare Module:"), this);
  clbModules = new QListWidget(this);
  clbModules->setObjectName(QStringLiteral("clbModules"));
  lblModules->setBuddy(clbModules);
  btnClose = MakeButton(this, "btnClose", QStringLiteral("Schließen"));
  btnSelectAll = MakeButton(this, "btnSelectAll", QStringLiteral("&Alle Module"));
  btnDeselectAll = MakeButton(this, "btnDeselectAll", QStringLiteral("&Kein Modul"));
  btnClose->setDefault(true);
  FormCreate();

  connect(btnClose, &QPushButton::clicked, this, &QDialog::accept);
  connect(btnSelectAll, &QPushButton::clicked, this, [this] { SelectAllClick(true); });
  connect(btnDeselectAll, &QPushButton::clicked, this, [this] { SelectAllClick(false); });
  connect(clbModules, &QListWidget::itemChanged, this, [this] {
    if (!FSettingChecks) clbModulesClickCheck();
  });
}

void TSelectModulesDialog::FormCreate() {
  PlaceControls(this, lblModules, clbModules, btnClose, {btnSelectAll, btnDeselectAll});
}

void TSelectModulesDialog::SetCheck(int Row, bool Checked) {
  FSettingChecks = true;
  clbModules->item(Row)->setCheckState(Checked ? Qt::Checked : Qt::Unchecked);
  FSettingChecks = false;
}

void TSelectModulesDialog::Init(TModuleKind Kind, const Ref<IVexaProject>& Project) {
  FProject = Project;
  FModules.clear();
  FSettingChecks = true;
  clbModules->clear();
  FSettingChecks = false;
  if (!Project) return;
  for (int i = 0; i < Project->GetModuleCount(); ++i) {
    Ref<IVexaModule> module = Project->GetModule(i);
    if (!module || module->GetKind() != Kind) continue;
    FModules.push_back(module);
    FSettingChecks = true;
    auto* item = new QListWidgetItem(module->GetName(), clbModules);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(module->IsUsed() ? Qt::Checked : Qt::Unchecked);
    FSettingChecks = false;
  }
}

void TSelectModulesDialog::clbModulesClickCheck() {
  for (int row = int(FModules.size()) - 1; row >= 0; --row) {
    const Ref<IVexaModule>& module = FModules[std::size_t(row)];
    const bool checked = clbModules->item(row)->checkState() == Qt::Checked;
    if (checked == module->IsUsed()) continue;
    module->ToggleUsed();
    SetCheck(row, module->IsUsed());
  }
}

void TSelectModulesDialog::SelectAllClick(bool Used) {
  for (int row = int(FModules.size()) - 1; row >= 0; --row) {
    const Ref<IVexaModule>& module = FModules[std::size_t(row)];
    if (module->IsUsed() == Used) continue;
    module->ToggleUsed();
    SetCheck(row, module->IsUsed());
  }
}

}  // namespace vexa::ide
