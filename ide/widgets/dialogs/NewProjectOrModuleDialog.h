#pragma once

#include <QDialog>

class QGroupBox;
class QRadioButton;

namespace vexa::ide {

// Asks which kind of item to create: a V2 project, a V2 module or a
// VXBasic project (file kinds 1, 2, 3).
class TNewProjectOrModuleDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TNewProjectOrModuleDialog(QWidget* Parent = nullptr);

  // 1 selects the V2 project, 2 the V2 module, anything else the VXBasic project.
  void SetKind(int Kind);
  int GetKind() const;

  QGroupBox* rgProjectOrModule = nullptr;

 private:
  QRadioButton* items_[3] = {};
};

}  // namespace vexa::ide
