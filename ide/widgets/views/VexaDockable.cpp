#include "widgets/views/VexaDockable.h"

#include "model/core/Services.h"
#include "widgets/views/VexaMainForm.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QLayout>
#include <QScreen>
#include <QShowEvent>
#include <QStyle>
#include <QTabBar>
#include <QToolButton>

#include <cxxabi.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <typeinfo>

namespace vexa::ide {

namespace {

constexpr Qt::DockWidgetAreas kDockAreas =
    Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea | Qt::BottomDockWidgetArea;

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

// The title bar of a docked tool window. Qt's own one is as wide as its
// buttons and the title's height together, wider than the narrowest a side
// area may become; this one gives way and clips its buttons instead.
class TDockTitleBar final : public QWidget {
 public:
  explicit TDockTitleBar(QDockWidget* Dock) : QWidget(Dock) {
    auto* layout = new QHBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetNoConstraint);
    layout->setContentsMargins(4, 1, 1, 1);
    layout->setSpacing(1);
    auto* caption = new QLabel(Dock->windowTitle(), this);
    caption->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    QObject::connect(Dock, &QWidget::windowTitleChanged, caption, &QLabel::setText);
    layout->addWidget(caption, 1);
    layout->addWidget(Button(QStyle::SP_TitleBarNormalButton,
                             [Dock] { Dock->setFloating(!Dock->isFloating()); }));
    layout->addWidget(Button(QStyle::SP_TitleBarCloseButton, [Dock] { Dock->close(); }));
  }

  QSize minimumSizeHint() const override { return {0, sizeHint().height()}; }

 private:
  template <class F>
  QToolButton* Button(QStyle::StandardPixmap Icon, F Click) {
    auto* button = new QToolButton(this);
    button->setIcon(style()->standardIcon(Icon, nullptr, this));
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setIconSize({12, 12});
    QObject::connect(button, &QToolButton::clicked, this, Click);
    return button;
  }
};

// The height of the tab bar the main window shows under Dock when Dock is one
// of several tabs; 0 otherwise. The window names each tab's dock widget in
// the tab's data.
int TabBarHeight(const QMainWindow* Main, const QDockWidget* Dock) {
  const auto id = reinterpret_cast<quintptr>(Dock);
  for (const QTabBar* bar : Main->findChildren<QTabBar*>(Qt::FindDirectChildrenOnly)) {
    if (bar->isHidden()) continue;
    for (int i = 0; i < bar->count(); ++i)
      if (bar->tabData(i).value<quintptr>() == id) return bar->height();
  }
  return 0;
}

}  // namespace

// --- TVexaDockWidget ---

TVexaDockWidget::TVexaDockWidget(TVexaDockable* Owner, QWidget* Parent)
    : QDockWidget(Parent), FOwner(Owner) {
  setFeatures(DockWidgetClosable | DockWidgetMovable | DockWidgetFloatable);
  setAllowedAreas(kDockAreas);
  setMinimumSize(TVexaMainForm::MinDockSize, TVexaMainForm::MinDockSize);
  setWindowTitle(QStringLiteral("*"));
  setTitleBarWidget(new TDockTitleBar(this));
}

TVexaDockWidget::~TVexaDockWidget() = default;

void TVexaDockWidget::FitMinimumSize() {
  QWidget* form = widget();
  if (!form || isFloating()) return;
  // The dock widget's minimum is the form's plus the title bar.
  form->setMinimumSize(1, 1);
  const QSize least = layout()->minimumSize();
  form->setMinimumSize(std::max(1, TVexaMainForm::MinDockSize - least.width() + 1),
                       std::max(1, TVexaMainForm::MinDockSize - least.height() + 1));
}

int TVexaDockWidget::LRDockWidth() const {
  return FLRDockWidth > 0 ? FLRDockWidth : sizeHint().width();
}

int TVexaDockWidget::TBDockHeight() const {
  return FTBDockHeight > 0 ? FTBDockHeight : sizeHint().height();
}

int TVexaDockWidget::UndockWidth() const {
  return FUndockWidth > 0 ? FUndockWidth : sizeHint().width();
}

int TVexaDockWidget::UndockHeight() const {
  return FUndockHeight > 0 ? FUndockHeight : sizeHint().height();
}

void TVexaDockWidget::SetAllowDocking(bool Allow) {
  setAllowedAreas(Allow ? kDockAreas : Qt::NoDockWidgetArea);
}

bool TVexaDockWidget::AllowDocking() const { return allowedAreas() != Qt::NoDockWidgetArea; }

TVexaMainForm* TVexaDockWidget::MainForm() const {
  return qobject_cast<TVexaMainForm*>(parentWidget());
}

QString TVexaDockWidget::DockSiteName() const {
  TVexaMainForm* main = MainForm();
  if (!main || isFloating()) return {};
  const QWidget* site = main->DockPanel(main->dockWidgetArea(const_cast<TVexaDockWidget*>(this)));
  return site ? site->objectName() : QString();
}

bool TVexaDockWidget::event(QEvent* Event) {
  // A floating tool window that becomes active takes the commands from the
  // main window, as another application would; the widget that gets its
  // focus next installs its own handlers.
  if (Event->type() == QEvent::WindowActivate && !qobject_cast<QMainWindow*>(window()))
    ClearCommandHandlers();
  return QDockWidget::event(Event);
}

void TVexaDockWidget::closeEvent(QCloseEvent* Event) {
  QDockWidget::closeEvent(Event);
  if (Event->isAccepted() && FOwner) FOwner->FormClose(this);
}

void TVexaDockWidget::showEvent(QShowEvent* Event) {
  QDockWidget::showEvent(Event);
  if (Event->spontaneous()) return;
  if (TVexaMainForm* main = MainForm()) main->ClientVisibleChanged(this);
}

void TVexaDockWidget::hideEvent(QHideEvent* Event) {
  QDockWidget::hideEvent(Event);
  // Hidden with the main window is not closed.
  if (Event->spontaneous() || !isHidden()) return;
  if (TVexaMainForm* main = MainForm()) main->ClientVisibleChanged(this);
}

void TVexaDockWidget::resizeEvent(QResizeEvent* Event) {
  QDockWidget::resizeEvent(Event);
  // The layout also places hidden dock widgets; those sizes arrive with the
  // next show and are not this tool window's own.
  if (!isVisible()) return;
  if (isFloating()) {
    FUndockWidth = width();
    FUndockHeight = height();
    return;
  }
  TVexaMainForm* main = MainForm();
  if (!main) return;
  switch (main->dockWidgetArea(this)) {
    case Qt::LeftDockWidgetArea:
    case Qt::RightDockWidgetArea: FLRDockWidth = width(); break;
    // With the tab bar below: the area comes back at this height when the
    // tool window is shown alone first and the others join it as tabs.
    case Qt::BottomDockWidgetArea: FTBDockHeight = height() + TabBarHeight(main, this); break;
    default: break;
  }
}

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
  if (!Focus) return;
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
