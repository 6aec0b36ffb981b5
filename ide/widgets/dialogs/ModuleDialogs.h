#pragma once

// The module list dialogs of a V2 project. Both act on the project at once
// and have only a close button: TSelectModulesDialog switches system or
// common modules on and off, TProjectModulesDialog adds, removes and
// reorders project modules.

#include "model/core/VexaIntfs.h"

#include <QDialog>

#include <vector>

class QLabel;
class QListWidget;
class QPushButton;

namespace vexa::ide {

class TSelectModulesDialog final : public QDialog {
  Q_OBJECT

 public:
  explicit TSelectModulesDialog(QWidget* Parent = nullptr);

  // Lists the project's modules of Kind, checked when used.
  void Init(TModuleKind Kind, const Ref<IVexaProject>& Project);

  // Toggles every module whose check mark differs from its used flag, then
  // sets the marks from the modules again.
  void clbModulesClickCheck();
  // Used: "&Alle Module"; otherwise "&Kein Modul".
  void SelectAllClick(bool Used);

  // Index for index with clbModules.
  const std::vector<Ref<IVexaModule>>& Modules() const { return FModules; }

  QLabel* lblModules = nullptr;
  QListWidget* clbModules = nullptr;
  QPushButton* btnClose = nullptr;
  QPushButton* btnSelectAll = nullptr;
  QPushButton* btnDeselectAll = nullptr;

 private:
  void FormCreate();
  void SetCheck(int Row, bool Checked);

  Ref<IVexaProject> FProject;
  std::vector<Ref<IVexaModule>> FModules;
  bool FSettingChecks = false;
};

class TProjectModulesDialog final : public QDialog {
  Q_OBJECT

 public:
  explicit TProjectModulesDialog(QWidget* Parent = nullptr);

  void Init(const Ref<IVexaProject>& Project);

  // Refills the list, row 0 selected (also when the dialog shows).
  void FormShow();
  void lbModulesClick();
  void btnInsertClick();
  void btnDeleteClick();
  void btnMoveUpClick();
  void btnMoveDownClick();

  // Index for index with lbModules.
  const std::vector<Ref<IVexaModule>>& Modules() const { return FModules; }

  QLabel* lblModules = nullptr;
  QListWidget* lbModules = nullptr;
  QPushButton* btnInsert = nullptr;
  QPushButton* btnDelete = nullptr;
  QPushButton* btnMoveUp = nullptr;
  QPushButton* btnMoveDown = nullptr;
  QPushButton* btnClose = nullptr;

 protected:
  void showEvent(QShowEvent* Event) override;

 private:
  void FormCreate();
  // Refills the list with the project modules; the selected name stays selected.
  void RefreshList();
  void UpdateButtons();
  void SelectRow(int Row);
  void Move(bool Up);

  Ref<IVexaProject> FProject;
  std::vector<Ref<IVexaModule>> FModules;
};

// ModuleKindProject: TProjectModulesDialog; system, common: TSelectModulesDialog. Modal, over
// the main window. The projects reach it through IDialogs::EditModules.
void ShowModulesDialog(TModuleKind Kind, const Ref<IVexaProject>& Project);

}  // namespace vexa::ide
