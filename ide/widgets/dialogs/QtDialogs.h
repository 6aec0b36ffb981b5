#pragma once

#include "model/core/Dialogs.h"

namespace vexa::ide {

// Message boxes, file dialogs and text inputs with Qt: caption "Dornik Vexa IDE", a beep
// first, German button texts; J and N (also with Alt) answer Ja and Nein.
// Modal over the active window.
class TQtDialogs final : public IDialogs {
 public:
  void ShowError(const QString& Text) override;
  bool Confirm(const QString& Text) override;
  int ConfirmCancel(const QString& Text) override;
  bool ExecuteFileDialog(TFileDialog& Dialog) override;
  bool InputQuery(const QString& Caption, const QString& Prompt, QString& Value) override;
  // TSimulatorInputDialog.
  std::optional<int> SimulatorInput(int Preset) override;

  bool EditModules(TModuleKind Kind, const Ref<IVexaProject>& Project) override;
};

}  // namespace vexa::ide
