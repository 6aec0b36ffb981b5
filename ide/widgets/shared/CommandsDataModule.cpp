#include "widgets/shared/CommandsDataModule.h"

#include "widgets/dialogs/NewProjectOrModuleDialog.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QToolBar>
#include <QWidget>

// Resources of a static library are registered by hand.
static void InitIconResources() { Q_INIT_RESOURCE(icons); }

namespace vexa::ide {

TCommandsDataModule* CommandsDataModule = nullptr;

namespace {

const char* const kCategoryProperty = "category";

QString IconPath(const TActionDef& Def) {
  const char* list = Def.List == TActionList::Standard ? "standard"
                     : Def.List == TActionList::View   ? "view"
                                                       : "development";
  return QStringLiteral(":/icons/%1_%2.png")
      .arg(QLatin1String(list))
      .arg(Def.Image, 2, 10, QLatin1Char('0'));
}

// A file name as a menu text: "&" is no mnemonic there.
QString MenuText(QString Name) { return Name.replace(QLatin1Char('&'), QStringLiteral("&&")); }

}  // namespace

TCommandsDataModule::TCommandsDataModule(QWidget* MainWindow)
    : QObject(MainWindow), mainWindow_(MainWindow) {
  InitIconResources();
  setObjectName(QStringLiteral("CommandsDataModule"));
  for (const TActionDef& def : ActionDefs()) {
    auto* action = new QAction(QString::fromUtf8(def.Caption), this);
    action->setObjectName(QLatin1String(def.Name));
    action->setProperty(kCategoryProperty, QString::fromUtf8(def.Category));
    if (*def.Hint) {
      action->setToolTip(QString::fromUtf8(def.Hint));
      action->setStatusTip(QString::fromUtf8(def.Hint));
    }
    if (def.Image >= 0) action->setIcon(QIcon(IconPath(def)));
    if (*def.Shortcut) {
      action->setShortcut(QKeySequence::fromString(QLatin1String(def.Shortcut)));
      // Shown by the menus only: the shortcut filter dispatches the keys.
      action->setShortcutContext(Qt::WidgetShortcut);
    }
    action->setCheckable(def.Checkable);
    action->setEnabled(def.InitiallyEnabled);
    const TAction id = def.Id;
    connect(action, &QAction::triggered, this, [id] { ExecuteAction(id); });
    actions_[std::size_t(id)] = action;
    switch (def.List) {
      case TActionList::Standard: actlStandard << action; break;
      case TActionList::View: actlView << action; break;
      case TActionList::Development: actlDevelopment << action; break;
    }
  }
  for (int k = 1; k <= TRecentList::kMaxRecent; ++k) {
    RecentFileActions << Action(MRUFileAction(k));
    RecentProjectActions << Action(MRUProjectAction(k));
  }
  for (QAction* a : RecentFileActions + RecentProjectActions) {
    const TActionState s = ActionState(FindAction(a->objectName()).value());
    a->setVisible(s.Visible);
    if (s.Visible) a->setText(MenuText(s.Caption));
  }

  CommandsDataModule = this;
  updateTimer_.setInterval(kUpdateInterval);
  connect(&updateTimer_, &QTimer::timeout, this, &TCommandsDataModule::UpdateActions);
  updateTimer_.start();
}

TCommandsDataModule::~TCommandsDataModule() {
  if (CommandsDataModule == this) CommandsDataModule = nullptr;
}

QAction* TCommandsDataModule::Action(const char* Name) const {
  const std::optional<TAction> id = FindAction(QString::fromUtf8(Name));
  return id ? Action(*id) : nullptr;
}

void TCommandsDataModule::AddActions(QWidget* Target,
                                     std::initializer_list<TActionSlot> Slots) const {
  for (const TActionSlot& slot : Slots) {
    if (slot)
      Target->addAction(Action(*slot));
    else if (auto* menu = qobject_cast<QMenu*>(Target))
      menu->addSeparator();
    else if (auto* bar = qobject_cast<QToolBar*>(Target))
      bar->addSeparator();
  }
}

QString TCommandsDataModule::Category(const QAction* Action) {
  return Action ? Action->property(kCategoryProperty).toString() : QString();
}

QAction* TCommandsDataModule::ShortcutAction(const QKeyEvent* Event) const {
  if (!Event || Event->key() == 0 || Event->key() == Qt::Key_unknown) return nullptr;
  const QKeySequence key(QKeyCombination(
      Event->modifiers() &
          (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier),
      Qt::Key(Event->key())));
  for (const QList<QAction*>* list : {&actlStandard, &actlView, &actlDevelopment})
    for (QAction* a : *list)
      if (!a->shortcut().isEmpty() && a->shortcut() == key) return a;
  return nullptr;
}

bool TCommandsDataModule::IsShortCut(const QKeyEvent* Event) {
  QAction* a = ShortcutAction(Event);
  if (!a || !a->isEnabled()) return false;
  a->trigger();
  return true;
}

void TCommandsDataModule::UpdateActions() {
  for (const TActionDef& def : ActionDefs()) {
    QAction* a = Action(def.Id);
    const TActionState s = ActionState(def.Id);
    a->setEnabled(s.Enabled);
    if (def.Checkable) a->setChecked(s.Checked);
    if (def.Id <= TAction::MRUProject5) {
      a->setVisible(s.Visible);
      if (s.Visible) a->setText(MenuText(s.Caption));
    }
  }
}

void TCommandsDataModule::WatchMenu(QMenu* Menu) {
  connect(Menu, &QMenu::aboutToShow, this, &TCommandsDataModule::UpdateActions);
}

bool TCommandsDataModule::ExecuteNewDialog(TFileKind& Kind) {
  TNewProjectOrModuleDialog dialog(mainWindow_);
  dialog.SetKind(Kind);
  if (dialog.exec() != QDialog::Accepted) return false;
  Kind = dialog.GetKind();
  return true;
}

}  // namespace vexa::ide
