#pragma once

// The base of the option dialog's pages: load, check and apply.

#include <QWidget>

namespace vexa::ide {

// Base of every option page.
class TCustomDialogPage : public QWidget {
  Q_OBJECT

 public:
  explicit TCustomDialogPage(QWidget* Parent = nullptr);

  // Writes the page's controls into the option values.
  virtual void Apply() {}
  // Whether the dialog may close.
  virtual bool MayClose() { return true; }
  // Fills the page's controls from the option values.
  virtual void Load() {}
};

}  // namespace vexa::ide
