#pragma once

// The "Projekt" page of the V2 and BASIC option dialogs: background
// compilation with its delay, and the serial port of the download.

#include "widgets/options/CustomDialogPage.h"

#include <array>
#include <functional>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QRadioButton;
class QSlider;

namespace vexa::ide {

class TProjectOptionsPage : public TCustomDialogPage {
  Q_OBJECT

 public:
  static constexpr int kPortCount = 8;
  static constexpr int kMinDelay = 2;  // x 100 ms
  static constexpr int kMaxDelay = 30;

  // The port buttons the model can open are enabled (OpenableSerialPorts);
  // Available, when given, decides instead, asked once per port.
  explicit TProjectOptionsPage(bool ForBASIC, QWidget* Parent = nullptr,
                               const std::function<bool(int)>& Available = {});

  void Apply() override;
  void Load() override;

  // The delay label's text for a track bar position, in the default locale.
  static QString DelayText(int Position);

  const bool ForBASIC;
  QCheckBox* cbBkgndCompilation = nullptr;
  QSlider* tbDelay = nullptr;
  QLabel* lblDelay = nullptr;
  QGroupBox* gbDownload = nullptr;
  std::array<QRadioButton*, kPortCount> rbCOM{};

 private:
  void UpdateDelayLabel();
  QButtonGroup* ports_ = nullptr;
};

}  // namespace vexa::ide
