#include "widgets/mainwindow/ShortcutFilter.h"

#include "model/core/Services.h"
#include "widgets/mainwindow/CommandsDataModule.h"

#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QKeyEvent>

namespace vexa::ide {

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
  // A floating tool window belongs to the main window.
  if (!qobject_cast<QDockWidget*>(active)) return false;
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
