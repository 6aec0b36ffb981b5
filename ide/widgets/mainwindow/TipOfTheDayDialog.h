#pragma once

// The tip of the day dialog: walks through the tips file, one painted tip at
// a time.

#include "widgets/mainwindow/TipOfTheDay.h"

#include <QDialog>

class QCheckBox;
class QPushButton;

namespace vexa::ide {

class TTipOfTheDayDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TTipOfTheDayDialog(QWidget* Owner = nullptr);

  // The index of the next tip to show; set before showing, read afterwards.
  int TipIndex() const { return tipIndex_; }
  void SetTipIndex(int Value) { tipIndex_ = Value; }
  // The tips file; DefaultTipsFileName() when empty at show time.
  QString FileName() const { return fileName_; }
  void SetFileName(const QString& Value) { fileName_ = Value; }
  bool ShowAtStartup() const;
  void SetShowAtStartup(bool Value);

  // Reads the file again and shows the tip at TipIndex.
  void NextTip();

  TTipOfTheDay* TipOfTheDay1;  // the panel that paints the tip
  QPushButton* btnNextTip;
  QPushButton* btnClose;
  QCheckBox* cbShowTipsStartup;

 public slots:
  // Escape closes as the close button does.
  void reject() override { accept(); }

 protected:
  void showEvent(QShowEvent* Event) override;

 private:
  int tipIndex_ = 0;
  QString fileName_;
};

// Runs the dialog modally over Owner with TipIndex and ShowAtStartup and
// takes both back from it. FileName empty: the tips beside the program.
void RunTipOfTheDay(QWidget* Owner, int& TipIndex, bool& ShowAtStartup,
                    const QString& FileName = QString());

}  // namespace vexa::ide
