#pragma once

// The tip of the day: one painted tip with its heading.

#include <QWidget>

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

}  // namespace vexa::ide
