#pragma once

// Watches for a modal dialog of one class, notes when it showed and closes it,
// so that tests can run code that opens dialogs with exec().

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>

namespace vexa::ide::test {

template <class Dialog>
class TModalWatcher {
 public:
  TModalWatcher() {
    timer_.setInterval(10);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
      if (!dialog || !dialog->isVisible()) return;
      ++Seen;
      ShownAfter = clock_.elapsed();
      dialog->done(QDialog::Accepted);
    });
    clock_.start();
    timer_.start();
  }

  // Times are counted from here.
  void Restart() { clock_.restart(); }

  int Seen = 0;
  qint64 ShownAfter = -1;  // ms

 private:
  QTimer timer_;
  QElapsedTimer clock_;
};

}  // namespace vexa::ide::test
