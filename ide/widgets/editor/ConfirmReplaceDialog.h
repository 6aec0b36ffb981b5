#pragma once

// The question before each replacement: yes, no, cancel or all.

#include <QDialog>

class QLabel;

namespace vexa::ide {

class TConfirmReplaceDialog : public QDialog {
  Q_OBJECT

 public:
  // Results of exec(); closing the window gives Cancel.
  enum { Cancel = QDialog::Rejected, Yes = 6, No = 7, All = 8 };

  explicit TConfirmReplaceDialog(QWidget* Parent = nullptr);

  // Sets the question for Found and moves the dialog by the placement rule
  // (screen coordinates: the editor's area, the match's x and its line).
  void Prepare(const QRect& Area, int MatchX, int LineTop, int LineBottom, const QString& Found);

  QLabel* lblConfirmation = nullptr;
};

}  // namespace vexa::ide
