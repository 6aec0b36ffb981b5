#pragma once

// The command module with its actions: every command of the IDE as a QAction
// in one of three lists (objectName = the action's name), bound by menus and
// tool bars, routed through the rules of ActionRouting.h. Made by the main
// window; CommandsDataModule refers to it while it exists.

#include "model/commands/ActionRouting.h"
#include "model/commands/CommandsModule.h"

#include <QList>
#include <QObject>
#include <QTimer>

#include <array>
#include <initializer_list>
#include <optional>

class QAction;
class QKeyEvent;
class QMenu;
class QWidget;

namespace vexa::ide {

// A place in a menu or a tool bar: an action of the table, or kSeparator.
using TActionSlot = std::optional<TAction>;
inline constexpr TActionSlot kSeparator = std::nullopt;

class TCommandsDataModule : public QObject, public TCommandsModule {
  Q_OBJECT

 public:
  // MainWindow owns the module and parents its dialogs.
  explicit TCommandsDataModule(QWidget* MainWindow);
  ~TCommandsDataModule() override;

  // The three lists in table order; a shortcut is looked up in this order.
  QList<QAction*> actlStandard;
  QList<QAction*> actlView;
  QList<QAction*> actlDevelopment;
  // actMRUFile1..5 and actMRUProject1..5.
  QList<QAction*> RecentFileActions;
  QList<QAction*> RecentProjectActions;

  QAction* Action(TAction Id) const { return actions_[std::size_t(Id)]; }
  // nullptr when there is no action of that name.
  QAction* Action(const char* Name) const;
  // Adds the actions of Slots to Target (a menu or a tool bar), in order.
  void AddActions(QWidget* Target, std::initializer_list<TActionSlot> Slots) const;
  // The action category ("Datei", "Ansicht", ...).
  static QString Category(const QAction* Action);

  // The first action (Standard, View, Development) whose shortcut is the key
  // of Event, enabled or not; nullptr when none has it.
  QAction* ShortcutAction(const QKeyEvent* Event) const;
  // Fires that action when it is enabled; true when it fired.
  bool IsShortCut(const QKeyEvent* Event);

  // Enabled, checked, visible and caption from the routing rules. Runs on a
  // short timer, before a watched menu shows and before a shortcut fires.
  void UpdateActions();
  // Updates the actions whenever Menu is about to show.
  void WatchMenu(QMenu* Menu);

  QWidget* MainWindow() const { return mainWindow_; }

  static constexpr int kUpdateInterval = 250;  // ms

 protected:
  bool ExecuteNewDialog(TFileKind& Kind) override;

 private:
  QWidget* mainWindow_;
  std::array<QAction*, kActionCount> actions_{};
  QTimer updateTimer_;
};

extern TCommandsDataModule* CommandsDataModule;

}  // namespace vexa::ide
