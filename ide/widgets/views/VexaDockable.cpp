#include "widgets/views/VexaDockable.h"

#include "model/core/Services.h"
#include "widgets/views/VexaMainForm.h"

#include <QMainWindow>
#include <QScreen>
#include <QTabBar>

#include <cxxabi.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <typeinfo>

namespace vexa::ide {

namespace {

// The first widget of Form, in focus order, that takes the focus by key.
QWidget* FirstFocusable(QWidget* Form) {
  if (Form->focusPolicy() & Qt::TabFocus) return Form;
  for (QWidget* w = Form->nextInFocusChain(); w && w != Form; w = w->nextInFocusChain()) {
    if (Form->isAncestorOf(w) && w->isEnabled() && w->isVisibleTo(Form) &&
        (w->focusPolicy() & Qt::TabFocus))
      return w;
  }
  return nullptr;
}

// Selects Dock's tab in the tab bars beside it. The main window does so on
// raise(); a floating tab group does not. The bars name each tab's dock
// widget in the tab's data.
void SelectTab(QDockWidget* Dock) {
  QWidget* host = Dock->parentWidget();
  if (!host || qobject_cast<QMainWindow*>(host)) return;
  const auto id = reinterpret_cast<quintptr>(Dock);
  for (QTabBar* bar : host->findChildren<QTabBar*>(Qt::FindDirectChildrenOnly)) {
    for (int i = 0; i < bar->count(); ++i)
      if (bar->tabData(i).value<quintptr>() == id) bar->setCurrentIndex(i);
  }
}

}  // namespace

// --- TVexaDockable ---

TVexaDockable::TVexaDockable(QWidget* MainForm) : FMainForm(MainForm) {}

TVexaDockable::~TVexaDockable() {
  if (FDock) {
    FDock->Detach();
    delete FDock.data();
  }
}

QString TVexaDockable::GetName() {
  const char* mangled = typeid(*this).name();
  int status = 0;
  std::unique_ptr<char, decltype(&std::free)> plain(
      abi::__cxa_demangle(mangled, nullptr, nullptr, &status), &std::free);
  QString name = QString::fromLatin1(status == 0 && plain ? plain.get() : mangled);
  const qsizetype scope = name.lastIndexOf(QLatin1String("::"));
  return scope < 0 ? name : name.mid(scope + 2);
}

void TVexaDockable::EnsureForm(QWidget* Owner) {
  if (FDock) return;
  auto* dock = new TVexaDockWidget(this, Owner);
  dock->setObjectName(GetName());
  QWidget* form = CreateForm(Owner);
  if (!form) {
    delete dock;
    return;
  }
  if (!form->windowTitle().isEmpty()) dock->setWindowTitle(form->windowTitle());
  QObject::connect(form, &QWidget::windowTitleChanged, dock, &QWidget::setWindowTitle);
  dock->setWidget(form);
  dock->FitMinimumSize();
  FDock = dock;
  FForm = form;
}

namespace {

// A new floating window comes up centred over the main window and wholly on
// the main window's screen (else Qt leaves it wherever the dock layout put it).
void PlaceOverMainWindow(QWidget* Dock) {
  QWidget* main = Dock->parentWidget() ? Dock->parentWidget()->window() : nullptr;
  QScreen* screen = main ? main->screen() : Dock->screen();
  if (!screen) return;
  const QRect area = screen->availableGeometry();
  QRect r(QPoint(), Dock->size().boundedTo(area.size()));
  r.moveCenter(main && main->isVisible() ? main->frameGeometry().center() : area.center());
  r.moveLeft(std::clamp(r.left(), area.left(), area.right() - r.width() + 1));
  r.moveTop(std::clamp(r.top(), area.top(), area.bottom() - r.height() + 1));
  Dock->resize(r.size());
  Dock->move(r.topLeft());
}

}  // namespace

void TVexaDockable::Show(bool Focus) {
  if (!FDock) {
    QWidget* owner = VexaIDE ? VexaIDE->GetMainForm() : nullptr;
    EnsureForm(owner ? owner : FMainForm.data());
    if (!FDock) return;
    // A new form floats by itself, at the size it had when last closed.
    if (auto* main = qobject_cast<QMainWindow*>(FDock->parentWidget()))
      main->addDockWidget(Qt::LeftDockWidgetArea, FDock);
    FDock->setFloating(true);
    if (FData.UndockRight > 0 && FData.UndockBottom > 0)
      FDock->resize(FData.UndockRight, FData.UndockBottom);
    PlaceOverMainWindow(FDock);
  }
  FDock->show();
  // Brings a tab behind another tool window to the front; a floating
  // window comes above the others.
  FDock->raise();
  SelectTab(FDock);
  // Behind another tab still, it cannot take the focus.
  if (!Focus || !FForm->isVisible() || FForm->visibleRegion().isEmpty()) return;
  FDock->window()->activateWindow();
  QWidget* target = FForm->focusWidget();
  if (!target || !FForm->isAncestorOf(target)) target = FirstFocusable(FForm);
  (target ? target : FForm.data())->setFocus(Qt::OtherFocusReason);
}

void TVexaDockable::Close() {
  if (FDock) FDock->close();
}

void TVexaDockable::DockInto(QWidget* Owner, QWidget* Site) {
  auto* main = qobject_cast<TVexaMainForm*>(Site ? Site->parentWidget() : nullptr);
  if (Owner) FMainForm = Owner;
  EnsureForm(Owner ? Owner : main);
  if (!FDock) return;
  if (main)
    main->DockClient(FDock, Site);
  else
    FDock->show();
}

bool TVexaDockable::FormClose(TVexaDockWidget* Dock) {
  FData = TVexaToolWindowData{};
  FData.AllowDocking = Dock->AllowDocking();
  FData.StayOnTop = Dock->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
  FData.UndockRight = Dock->UndockWidth();
  FData.UndockBottom = Dock->UndockHeight();
  FData.LRDockWidth = Dock->LRDockWidth();
  FData.TBDockHeight = Dock->TBDockHeight();
  FData.DockSiteName = Dock->DockSiteName();
  if (!Dock->isFloating()) return false;
  // Deferred: this runs inside the dock widget's own close.
  Dock->Detach();
  if (FDock == Dock) {
    FDock = nullptr;
    FForm = nullptr;
  }
  Dock->deleteLater();
  return true;
}

}  // namespace vexa::ide
