#pragma once

// The question before each replacement: yes, no, cancel or all.

#include <QDialog>
#include <QRect>

class QLabel;
class QPushButton;

namespace vexa::ide {

class TConfirmReplaceDialog : public QDialog {
  Q_OBJECT

 public:
  // Results of exec(); closing the window gives Cancel.
  enum { Cancel = QDialog::Rejected, Yes = 6, No = 7, All = 8 };

  // The size is fixed here, for the run's found text: the question for a
  // found text of up to about 30 characters fits on one line, a longer one
  // wraps, inside words too wide for a line too. The dialog stays within the
  // screen's available height: a found text too long for that is shown
  // shortened in the middle.
  explicit TConfirmReplaceDialog(const QString& Found = QString(), QWidget* Parent = nullptr);

  // Sets the question for Found and moves the dialog by the placement rule
  // (screen coordinates: the editor's area, the match's x and its line),
  // kept on the screen. Once shown, it moves again when its frame turns out
  // other than assumed.
  void Prepare(const QRect& Area, int MatchX, int LineTop, int LineBottom, const QString& Found);

  QLabel* lblConfirmation = nullptr;

 protected:
  bool event(QEvent* Event) override;
  // A button's underlined letter answers without Alt too, as in the
  // message boxes.
  void keyPressEvent(QKeyEvent* Event) override;

 private:
  void Place();
  // The label's text for Found: shortened to shownFound_ characters when
  // that is set, breakable inside words too wide for a line.
  QString Question(const QString& Found) const;

  // In the order shown: Ja, Nein, Abbrechen, Alle.
  QPushButton* buttons_[4] = {};

  QRect area_;
  int matchX_ = 0, lineTop_ = 0, lineBottom_ = 0;
  // The most characters of a found text shown; -1: all of them.
  int shownFound_ = -1;
  // The frame size the last placement assumed.
  QSize placedFrame_;
};

}  // namespace vexa::ide
