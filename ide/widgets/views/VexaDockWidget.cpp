#include "widgets/views/VexaDockWidget.h"

#include "model/core/Services.h"
#include "widgets/views/VexaDockable.h"
#include "widgets/views/VexaMainForm.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QLayout>
#include <QMoveEvent>
#include <QShowEvent>
#include <QStyle>
#include <QTabBar>
#include <QTimer>
#include <QToolButton>

#include <utility>

namespace vexa::ide {

namespace {

constexpr Qt::DockWidgetAreas kDockAreas =
    Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea | Qt::BottomDockWidgetArea;

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
// the tab's data. A bar left with one tab takes no room, though Qt does not
// hide it.
int TabBarHeight(const QMainWindow* Main, const QDockWidget* Dock) {
  const auto id = reinterpret_cast<quintptr>(Dock);
  for (const QTabBar* bar : Main->findChildren<QTabBar*>(Qt::FindDirectChildrenOnly)) {
    if (bar->isHidden() || bar->count() < 2) continue;
    for (int i = 0; i < bar->count(); ++i)
      if (bar->tabData(i).value<quintptr>() == id) return bar->height();
  }
  return 0;
}

}  // namespace

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

int TVexaDockWidget::DockedExtent() const {
  TVexaMainForm* main = MainForm();
  // The layout moves a tab behind another out of the window.
  if (!main || isFloating() || !isVisible() || geometry().right() < 0 || geometry().bottom() < 0)
    return 0;
  switch (main->dockWidgetArea(const_cast<TVexaDockWidget*>(this))) {
    case Qt::LeftDockWidgetArea:
    case Qt::RightDockWidgetArea: return width();
    // With the tab bar below: the area comes back at this height when the
    // tool window is shown alone first and the others join it as tabs.
    case Qt::BottomDockWidgetArea: return height() + TabBarHeight(main, this);
    default: return 0;
  }
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
  // Sizes the window forces on the area are not the user's, nor is the size
  // of a tab brought to the front: it takes the area's as it is.
  const bool toFront = std::exchange(FToFront, false);
  TVexaMainForm* main = MainForm();
  if (!main || toFront || main->SizingAreas()) return;
  const int extent = DockedExtent();
  if (extent <= 0) return;
  // The tabs beside it share the area's size.
  const bool bottom = main->dockWidgetArea(this) == Qt::BottomDockWidgetArea;
  QList<QDockWidget*> tabs = main->tabifiedDockWidgets(this);
  tabs.append(this);
  for (QDockWidget* tab : tabs) {
    if (auto* dock = qobject_cast<TVexaDockWidget*>(tab))
      (bottom ? dock->FTBDockHeight : dock->FLRDockWidth) = extent;
  }
}

void TVexaDockWidget::moveEvent(QMoveEvent* Event) {
  QDockWidget::moveEvent(Event);
  // The layout moves a tab brought to the front into the area first, then
  // sizes it, at once.
  const QPoint from = Event->oldPos();
  if (isFloating() || (from.x() >= 0 && from.y() >= 0)) return;
  FToFront = true;
  QTimer::singleShot(0, this, [this] { FToFront = false; });
}

}  // namespace vexa::ide
