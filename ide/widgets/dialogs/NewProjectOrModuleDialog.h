#pragma once

#include "model/core/VexaIntfs.h"

#include <QDialog>

class QGroupBox;
class QRadioButton;

namespace vexa::ide {

// Asks which kind of item to create: a V2 project, a V2 module or a
// VXBasic project.
class TNewProjectOrModuleDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TNewProjectOrModuleDialog(QWidget* Parent = nullptr);

  // Checks the item of Kind and gives it the focus; any kind but a V2 project
  // or module selects the VXBasic project.
  void SetKind(TFileKind Kind);
  TFileKind GetKind() const;

  QGroupBox* rgProjectOrModule = nullptr;

 private:
  QRadioButton* items_[3] = {};
};

}  // namespace vexa::ide
