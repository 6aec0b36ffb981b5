#pragma once

// The "Projekt" page of the V2 and BASIC option dialogs: background
// compilation with its delay, and the serial port of the download.

#include "widgets/options/OptionDialog.h"

#include <array>
#include <functional>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QRadioButton;
class QSlider;

namespace vexa::ide {

// Whether the serial layer can open port N (its device is the one the layer
// maps "COM" N to); the port is closed again at once. A port another
// program holds is not available.
bool SerialPortAvailable(int Port);

class TProjectOptionsPage : public TCustomDialogPage {
  Q_OBJECT

 public:
  static constexpr int kPortCount = 8;
  static constexpr int kMinDelay = 2;  // x 100 ms
  static constexpr int kMaxDelay = 30;

  // Available decides which port buttons are enabled (SerialPortAvailable
  // when empty); it is asked once per port here.
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
