#pragma once

// The frameless window with the product picture: the splash while the IDE
// starts, and the About box.

#include <QDialog>
#include <QStringList>

class QLabel;

namespace vexa::ide {

class TVexaSplashForm : public QDialog {
  Q_OBJECT

 public:
  // Centred over Owner, or on the screen without one; above other windows.
  TVexaSplashForm(QWidget* Owner, bool IsSplash);

  // The splash ignores clicks and keys; the About box closes on a press on
  // the picture and on Enter or Escape without Shift, Ctrl or Alt.
  bool IsSplash() const { return isSplash_; }

  QLabel* imgSplash;
  QLabel* lblVersion;

 protected:
  bool eventFilter(QObject* Watched, QEvent* Event) override;
  void keyPressEvent(QKeyEvent* Event) override;
  void showEvent(QShowEvent* Event) override;

 private:
  void PlaceCentred();

  bool isSplash_;
};

// "Version a.b.c.d" of this program.
QString VersionText();

// The splash window while it is shown, else null.
extern TVexaSplashForm* VexaSplashForm;

// Shows the splash and paints it at once, unless Arguments (as
// QCoreApplication::arguments()) hold -ns or -NoSplash.
void ShowSplash(const QStringList& Arguments);
// Deletes the splash, if any.
void CloseSplash();

// The About box, modal over Owner.
void ShowAboutBox(QWidget* Owner);

}  // namespace vexa::ide
