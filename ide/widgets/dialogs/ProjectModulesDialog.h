#pragma once

// The list of a V2 project's own modules: adds, removes and reorders them at
// once.

#include "model/core/VexaIntfs.h"

#include <QDialog>

#include <vector>

class QLabel;
class QListWidget;
class QPushButton;

namespace vexa::ide {

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

}  // namespace vexa::ide
