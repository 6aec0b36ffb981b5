#pragma once

// The tip of the day: a painted tip with its heading, and the dialog that
// walks through the tips file.

#include <QDialog>
#include <QWidget>

class QCheckBox;
class QPushButton;

namespace vexa::ide {

// Draws one tip: a workspace-coloured bar with the bulb on the left, the
// heading and the word-wrapped tip on an info-coloured area. Takes no mouse.
class TTipOfTheDay : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kMaxColorBarWidth = 420;

  explicit TTipOfTheDay(QWidget* Parent = nullptr);

  int ColorBarWidth() const { return colorBarWidth_; }
  // Cut to 0..kMaxColorBarWidth.
  void SetColorBarWidth(int Value);
  QString Tip() const { return tip_; }
  void SetTip(const QString& Value);

  // Where the tip text goes.
  QRect TipRect() const;

 protected:
  void paintEvent(QPaintEvent* Event) override;

 private:
  int colorBarWidth_ = 42;
  QString tip_ = QStringLiteral("Here you would put your Tip Of The Day...");
};

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
