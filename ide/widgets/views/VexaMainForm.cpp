#include "widgets/views/VexaMainForm.h"

#include "widgets/views/VexaDockable.h"

#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QLayout>
#include <QResizeEvent>
#include <QShowEvent>
#include <QStatusBar>
#include <QTabWidget>

#include <algorithm>

namespace vexa::ide {

namespace {

constexpr int kFixedPanelWidths[] = {80, 64, 80};
constexpr int kTextPanelMinWidth = 50;

// A fixed status panel: never narrower than its base width, and wide enough
// for each of its texts in its current font.
class TFixedStatusPanel final : public QLabel {
 public:
  TFixedStatusPanel(QWidget* Parent, int BaseWidth, std::vector<QString> Texts)
      : QLabel(Parent), baseWidth_(BaseWidth), texts_(std::move(Texts)) {
    setAlignment(Qt::AlignCenter);
    FitWidth();
  }

 protected:
  void changeEvent(QEvent* Event) override {
    QLabel::changeEvent(Event);
    if (Event->type() == QEvent::FontChange || Event->type() == QEvent::StyleChange) FitWidth();
  }

 private:
  void FitWidth() {
    const QFontMetrics metrics(font());
    int widest = 0;
    for (const QString& text : texts_) widest = std::max(widest, metrics.horizontalAdvance(text));
    // Frame, margins and a little air on each side.
    const QMargins margins = contentsMargins();
    const int extra = margins.left() + margins.right() + 2 * margin() + metrics.averageCharWidth();
    setFixedWidth(std::max(baseWidth_, widest + extra));
  }

  int baseWidth_;
  std::vector<QString> texts_;
};

// A separate window is a top-level floating dock widget; only docks laid out
// in the window count for an area.
bool IsDockedIn(const QMainWindow* Window, const QDockWidget* Dock, Qt::DockWidgetArea Area) {
  return !Dock->isFloating() && Window->dockWidgetArea(const_cast<QDockWidget*>(Dock)) == Area;
}

}  // namespace

TVexaMainForm::TVexaMainForm(QWidget* Parent) : QMainWindow(Parent) {
  // No animation: a dropped tool window lands at once and sizes are final.
  // Grouped dragging lets a tool window dropped on a floating one join it as
  // a tab, and moves a floating group as one.
  setDockOptions(AllowTabbedDocks | AllowNestedDocks | GroupedDragging);
  setCorner(Qt::BottomLeftCorner, Qt::LeftDockWidgetArea);
  setCorner(Qt::BottomRightCorner, Qt::RightDockWidgetArea);

  pctrlMain = new QTabWidget(this);
  pctrlMain->setObjectName(QStringLiteral("pctrlMain"));
  pctrlMain->setFocusPolicy(Qt::NoFocus);
  setCentralWidget(pctrlMain);

  DockPanelLeft = new TVexaDockPanel(this, Qt::LeftDockWidgetArea, QStringLiteral("DockPanelLeft"));
  DockPanelRight =
      new TVexaDockPanel(this, Qt::RightDockWidgetArea, QStringLiteral("DockPanelRight"));
  DockPanelBottom =
      new TVexaDockPanel(this, Qt::BottomDockWidgetArea, QStringLiteral("DockPanelBottom"));

  Statusbar = new QStatusBar(this);
  Statusbar->setObjectName(QStringLiteral("Statusbar"));
  // The longest texts of the fixed panels: the caret (" %6d:%3d "), the
  // modified mark and the editing modes.
  const std::vector<QString> fixedTexts[] = {
      {QStringLiteral(" 999999:999 ")},
      {QString::fromUtf8("Verändert")},
      {QString::fromUtf8("Überschreiben"), QString::fromUtf8("Einfügen"),
       QStringLiteral("Nur lesen")}};
  for (int i = 0; i < StatusPanelCount; ++i) {
    QLabel* panel = nullptr;
    if (i < StatusPanelText) {
      panel = new TFixedStatusPanel(Statusbar, kFixedPanelWidths[i], fixedTexts[i]);
      Statusbar->addWidget(panel);
    } else {
      panel = new QLabel(Statusbar);
      // Long texts (download progress) must neither be cut by a fixed width
      // nor widen the window.
      panel->setMinimumWidth(kTextPanelMinWidth);
      panel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
      panel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
      Statusbar->addWidget(panel, 1);
    }
    panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
    FPanels[i] = panel;
  }
  setStatusBar(Statusbar);
}

TVexaMainForm::~TVexaMainForm() = default;

TVexaDockPanel* TVexaMainForm::DockPanel(Qt::DockWidgetArea Area) const {
  switch (Area) {
    case Qt::LeftDockWidgetArea: return DockPanelLeft;
    case Qt::RightDockWidgetArea: return DockPanelRight;
    case Qt::BottomDockWidgetArea: return DockPanelBottom;
    default: return nullptr;
  }
}

Qt::DockWidgetArea TVexaMainForm::AreaOfSite(const QWidget* Site) {
  const auto* panel = qobject_cast<const TVexaDockPanel*>(Site);
  return panel ? panel->Area() : Qt::NoDockWidgetArea;
}

std::vector<TVexaDockWidget*> TVexaMainForm::DockClients(Qt::DockWidgetArea Area,
                                                         bool OnlyVisible) const {
  std::vector<TVexaDockWidget*> clients;
  for (TVexaDockWidget* dock : findChildren<TVexaDockWidget*>(Qt::FindDirectChildrenOnly)) {
    if (IsDockedIn(this, dock, Area) && (!OnlyVisible || !dock->isHidden()))
      clients.push_back(dock);
  }
  return clients;
}

void TVexaMainForm::ShowDockPanel(QWidget* Panel, bool MakeVisible, TVexaDockWidget* Client) {
  const Qt::DockWidgetArea area = AreaOfSite(Panel);
  if (DockPanel(area) != Panel) return;
  if (!MakeVisible) {
    // Qt gives an area without a shown dock widget no space.
    for (TVexaDockWidget* dock : DockClients(area, true)) dock->hide();
    return;
  }
  if (Client && !IsDockedIn(this, Client, area)) return;
  const bool bottom = area == Qt::BottomDockWidgetArea;
  int size;
  if (Client)
    size = bottom ? Client->TBDockHeight() : Client->LRDockWidth();
  else
    size = bottom ? height() / 3 : width() / 3;
  size = std::max(size, MinDockSize);

  QList<QDockWidget*> docks;
  if (Client) {
    // Its own show would come back here.
    FShowingPanel = true;
    Client->show();
    FShowingPanel = false;
    docks.append(Client);
  } else {
    for (TVexaDockWidget* dock : DockClients(area, true)) docks.append(dock);
  }
  if (docks.isEmpty()) return;
  QList<int> sizes(docks.size(), size);
  resizeDocks(docks, sizes, bottom ? Qt::Vertical : Qt::Horizontal);
}

void TVexaMainForm::LayOutAreas() {
  FSizingAreas = true;
  if (QLayout* windowLayout = layout()) windowLayout->activate();
  FSizingAreas = false;
}

void TVexaMainForm::ReturnAreaSizes(QSize Grown) {
  int spare[] = {Grown.width(), Grown.height()};
  for (const Qt::DockWidgetArea area :
       {Qt::LeftDockWidgetArea, Qt::RightDockWidgetArea, Qt::BottomDockWidgetArea}) {
    const bool bottom = area == Qt::BottomDockWidgetArea;
    int& budget = spare[bottom ? 1 : 0];
    if (budget <= 0) continue;
    QList<QDockWidget*> docks;
    QList<int> sizes;
    int taken = 0;
    for (TVexaDockWidget* dock : DockClients(area, true)) {
      const int now = dock->DockedExtent();
      const int wanted = bottom ? dock->TBDockHeight() : dock->LRDockWidth();
      if (now <= 0 || now >= wanted) continue;
      const int give = std::min(wanted - now, budget);
      docks.append(dock);
      sizes.append(now + give);
      taken = std::max(taken, give);
    }
    if (docks.isEmpty()) continue;
    budget -= taken;
    resizeDocks(docks, sizes, bottom ? Qt::Vertical : Qt::Horizontal);
  }
}

void TVexaMainForm::ClientVisibleChanged(TVexaDockWidget* Client) {
  if (FShowingPanel || !Client || Client->isFloating()) return;
  const Qt::DockWidgetArea area = dockWidgetArea(Client);
  TVexaDockPanel* panel = DockPanel(area);
  if (!panel) return;
  const bool visible = !Client->isHidden();
  const std::size_t count = DockClients(area, true).size();
  if (visible && count == 1)
    ShowDockPanel(panel, true, Client);
  else if (!visible && count == 0)
    ShowDockPanel(panel, false, nullptr);
}

void TVexaMainForm::DockClient(TVexaDockWidget* Client, QWidget* Panel) {
  const Qt::DockWidgetArea area = AreaOfSite(Panel);
  if (!Client || DockPanel(area) != Panel) return;
  if (!IsDockedIn(this, Client, area)) {
    std::vector<TVexaDockWidget*> others = DockClients(area, true);
    std::erase(others, Client);
    Client->setFloating(false);
    addDockWidget(area, Client);
    if (!others.empty()) tabifyDockWidget(others.back(), Client);
  }
  if (Client->isHidden())
    Client->show();
  else
    ClientVisibleChanged(Client);
}

void TVexaMainForm::SetPanelText(int Panel, const QString& Text) {
  if (QLabel* panel = StatusPanel(Panel)) panel->setText(Text);
}

QString TVexaMainForm::PanelText(int Panel) const {
  const QLabel* panel = StatusPanel(Panel);
  return panel ? panel->text() : QString();
}

QLabel* TVexaMainForm::StatusPanel(int Panel) const {
  return Panel >= 0 && Panel < StatusPanelCount ? FPanels[Panel] : nullptr;
}

void TVexaMainForm::resizeEvent(QResizeEvent* Event) {
  QMainWindow::resizeEvent(Event);
  // QMainWindow hands what a window gains to the centre only.
  LayOutAreas();
  if (Event->oldSize().isValid()) {
    ReturnAreaSizes(Event->size() - Event->oldSize());
    LayOutAreas();
  }
  FLaidOutSize = size();
}

void TVexaMainForm::showEvent(QShowEvent* Event) {
  QMainWindow::showEvent(Event);
  if (!FShown && !Event->spontaneous()) {
    FShown = true;
    FirstShown();
  }
}

}  // namespace vexa::ide
