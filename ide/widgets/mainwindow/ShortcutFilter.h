#pragma once

// The IDE's only shortcut dispatcher: an application event filter that gives
// a key to the actions before the focused control sees it. Editors take their
// bound keys through ShortcutOverride, so QAction shortcuts alone would never
// fire while one has the focus.
//   - Escape pauses a running simulation; the control gets no key.
//   - A key owned by an enabled action (lists Standard, View, Development)
//     fires that action once; the control gets no key.
//   - Shift+F10 opens the focused control's context menu, as the Menu key
//     does.
//   - A key of a disabled action, and every other key, goes to the control.
// It acts only while the main window or one of its floating tool windows (alone
// or grouped as tabs) is the active window, with no popup menu and no modal
// dialog open.

#include <QObject>
#include <QPointer>

class QKeyEvent;
class QWidget;

namespace vexa::ide {

class TShortcutFilter : public QObject {
  Q_OBJECT

 public:
  // Installs itself on the application; removed again when destroyed.
  explicit TShortcutFilter(QWidget* MainWindow, QObject* Parent = nullptr);
  ~TShortcutFilter() override;

 protected:
  bool eventFilter(QObject* Watched, QEvent* Event) override;

 private:
  enum class TTaker { None, PauseSimulation, Action };
  bool Acts() const;
  TTaker Taker(const QKeyEvent* Event) const;

  QPointer<QWidget> mainWindow_;
};

}  // namespace vexa::ide
