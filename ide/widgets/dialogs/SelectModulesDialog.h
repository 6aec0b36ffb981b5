#pragma once

// The list of a V2 project's system or common modules, each switched on and
// off at once by its check mark.

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

}  // namespace vexa::ide
