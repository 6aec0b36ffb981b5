#include "widgets/mainwindow/ShortcutFilter.h"

#include "model/core/Services.h"
#include "widgets/shared/CommandsDataModule.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDockWidget>
#include <QKeyEvent>

namespace vexa::ide {

namespace {

bool IsContextMenuKey(const QKeyEvent& Key) {
  const Qt::KeyboardModifiers mods = Key.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier |
                                                        Qt::AltModifier | Qt::MetaModifier);
  return Key.key() == Qt::Key_F10 && mods == Qt::ShiftModifier;
}

// The request the Menu key makes: at the control's cursor, from the keyboard.
void OpenContextMenu(QWidget* Target, Qt::KeyboardModifiers Modifiers) {
  if (!Target->isEnabled()) return;
  const QPoint pos = Target->inputMethodQuery(Qt::ImCursorRectangle).toRect().center();
  QContextMenuEvent event(QContextMenuEvent::Keyboard, pos, Target->mapToGlobal(pos), Modifiers);
  QApplication::sendEvent(Target, &event);
}

}  // namespace

TShortcutFilter::TShortcutFilter(QWidget* MainWindow, QObject* Parent)
    : QObject(Parent), mainWindow_(MainWindow) {
  qApp->installEventFilter(this);
}

TShortcutFilter::~TShortcutFilter() {
  if (qApp) qApp->removeEventFilter(this);
}

bool TShortcutFilter::Acts() const {
  if (!mainWindow_ || !CommandsDataModule) return false;
  if (QApplication::activePopupWidget() || QApplication::activeModalWidget()) return false;
  QWidget* active = QApplication::activeWindow();
  if (active == mainWindow_) return true;
  // A floating tool window belongs to the main window, and so does a floating
  // group of them (a window of Qt's whose children are the dock widgets).
  if (!active || (!qobject_cast<QDockWidget*>(active) &&
                  !active->findChild<QDockWidget*>(QString(), Qt::FindDirectChildrenOnly)))
    return false;
  for (QWidget* w = active->parentWidget(); w; w = w->parentWidget())
    if (w == mainWindow_) return true;
  return false;
}

TShortcutFilter::TTaker TShortcutFilter::Taker(const QKeyEvent* Event) const {
  if (Event->key() == Qt::Key_Escape) {
    Ref<IVexaSimulator> simulator = CurrentSimulator;
    if (simulator && simulator->IsRunning()) return TTaker::PauseSimulation;
  }
  QAction* action = CommandsDataModule->ShortcutAction(Event);
  return action && action->isEnabled() ? TTaker::Action : TTaker::None;
}

bool TShortcutFilter::eventFilter(QObject* Watched, QEvent* Event) {
  const QEvent::Type type = Event->type();
  if ((type != QEvent::ShortcutOverride && type != QEvent::KeyPress) || !Acts())
    return QObject::eventFilter(Watched, Event);
  auto* key = static_cast<QKeyEvent*>(Event);
  if (IsContextMenuKey(*key)) {
    QWidget* focus = QApplication::focusWidget();
    if (type != QEvent::KeyPress || !focus || Watched != focus)
      return QObject::eventFilter(Watched, Event);
    if (!key->isAutoRepeat()) OpenContextMenu(focus, key->modifiers());
    return true;
  }
  CommandsDataModule->UpdateActions();
  const TTaker taker = Taker(key);
  if (taker == TTaker::None) return QObject::eventFilter(Watched, Event);
  if (type == QEvent::ShortcutOverride) {
    // Claim the key: no QShortcut fires and the key press comes here next.
    Event->accept();
    return true;
  }
  if (taker == TTaker::PauseSimulation) {
    if (Ref<IVexaSimulator> simulator = CurrentSimulator) simulator->Pause();
  } else {
    CommandsDataModule->IsShortCut(key);
  }
  return true;
}

}  // namespace vexa::ide
