#include "widgets/dialogs/ModuleDialogs.h"

#include "model/core/Services.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include <algorithm>

namespace vexa::ide {

namespace {

constexpr int kGap = 8;
constexpr int kListWidth = 209;
constexpr int kListHeight = 193;
constexpr int kButtonHeight = 25;
constexpr int kButtonWidth = 100;

QPushButton* MakeButton(QWidget* Parent, const char* Name, const QString& Text) {
  auto* button = new QPushButton(Text, Parent);
  button->setObjectName(QLatin1String(Name));
  button->setAutoDefault(false);
  return button;
}

// The dialogs' common geometry: the list under its label, the close button
// right of the list at the bottom, the other buttons above it in a column.
void PlaceControls(QDialog* Dialog, QLabel* Label, QListWidget* List, QPushButton* Close,
                   std::initializer_list<QPushButton*> Others) {
  int width = kButtonWidth;
  for (QPushButton* b : Others) width = std::max(width, b->sizeHint().width());
  width = std::max(width, Close->sizeHint().width());
  Label->adjustSize();
  Label->move(kGap, kGap);
  List->setGeometry(kGap, Label->geometry().bottom() + 4, kListWidth, kListHeight);
  const int clientHeight = List->geometry().top() + List->height() + kGap;
  const int left = List->geometry().left() + List->width() + kGap;
  Close->setGeometry(left, clientHeight - kGap - kButtonHeight, width, kButtonHeight);
  int top = List->geometry().top();
  for (QPushButton* b : Others) {
    b->setGeometry(left, top, width, kButtonHeight);
    top += kButtonHeight + 6;
  }
  Dialog->setFixedSize(Close->geometry().left() + Close->width() + kGap, clientHeight);
}

}  // namespace

// --- TSelectModulesDialog ---

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

// --- TProjectModulesDialog ---

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
        if (!module || module->GetKind() != ModuleKindProject) continue;
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

// --- entry points ---

void ShowModulesDialog(TModuleKind Kind, const Ref<IVexaProject>& Project) {
  if (!Project) return;
  const Ref<IVexaIDE> ide = VexaIDE;
  QWidget* parent = ide ? ide->GetMainForm() : nullptr;
  if (Kind == ModuleKindProject) {
    TProjectModulesDialog dialog(parent);
    dialog.Init(Project);
    dialog.exec();
  } else {
    TSelectModulesDialog dialog(parent);
    dialog.Init(Kind, Project);
    dialog.exec();
  }
}

}  // namespace vexa::ide
