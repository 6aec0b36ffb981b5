#pragma once

// The main window's placement, bar visibility and tip-of-the-day state as
// kept in the settings (sections Main and Misc). The window applies them.

#include <QByteArray>

namespace vexa::ide {

struct TWindowSettings {
  // The normal (not maximised) rectangle; -1 when never stored.
  int Left = -1;
  int Top = -1;
  int Width = -1;
  int Height = -1;
  bool Maximized = false;
  bool StatusbarVisible = true;
  // The tool bars' layout as QMainWindow::saveState gives it; empty when none.
  QByteArray ToolbarState;
  bool ShowTipOfTheDay = true;
  int NextTipOfTheDay = 0;

  // A stored rectangle the window takes; otherwise the system places it.
  bool HasPlacement() const { return Width >= 1 && Height >= 1; }
};

// Maximized is only read when a rectangle was stored.
TWindowSettings LoadWindowSettings();
void SaveWindowSettings(const TWindowSettings& Settings);

}  // namespace vexa::ide
