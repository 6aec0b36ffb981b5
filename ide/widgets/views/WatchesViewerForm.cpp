#include "widgets/views/WatchesViewerForm.h"

#include "model/core/Dialogs.h"
#include "model/core/Services.h"

#include <QAction>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdint>

namespace vexa::ide {
namespace {

constexpr int kRowHeight = 17;
constexpr int kMinSplit = 50;
constexpr int kMaxSplit = 950;

bool SimulationPaused() { return CurrentSimulator && CurrentSimulator->IsPausedAgain(); }

bool IsIntegerType(TWatchType Type) {
  return Type == TWatchType::Byte || Type == TWatchType::Int || Type == TWatchType::Long;
}

// Cells as the grid draws them: highlight on the focused cell, button face on
// a selected one without focus, the text clipped at (4, 2).
class TWatchDelegate final : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* Painter, const QStyleOptionViewItem& Option,
             const QModelIndex& Index) const override {
    const QPalette& palette = Option.palette;
    QColor background = palette.color(QPalette::Base);
    QColor text = palette.color(QPalette::Text);
    if (Option.state & QStyle::State_HasFocus) {
      background = palette.color(QPalette::Highlight);
      text = palette.color(QPalette::HighlightedText);
    } else if (Option.state & QStyle::State_Selected) {
      background = palette.color(QPalette::Button);
      text = palette.color(QPalette::ButtonText);
    }
    Painter->fillRect(Option.rect, background);
    const QString shown = Index.data(Qt::DisplayRole).toString();
    if (shown.isEmpty()) return;
    const QVariant foreground = Index.data(Qt::ForegroundRole);
    if (foreground.canConvert<QColor>()) text = foreground.value<QColor>();
    Painter->save();
    Painter->setClipRect(Option.rect);
    Painter->setFont(Option.font);
    Painter->setPen(text);
    Painter->drawText(Option.rect.adjusted(4, 2, 0, 0),
                      Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, shown);
    Painter->restore();
  }
};

}  // namespace

TWatchesViewerForm::TWatchesViewerForm(const std::shared_ptr<IWatchesView>& View, QWidget* Parent)
    : QWidget(Parent), view_(View) {
  setObjectName(QStringLiteral("WatchesViewerForm"));
  setWindowTitle(QStringLiteral("Überwachte Variablen"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);

  dgWatches = new QTableView(this);
  dgWatches->setObjectName(QStringLiteral("dgWatches"));
  Model = new TWatchesModel(dgWatches);
  dgWatches->setModel(Model);
  dgWatches->setItemDelegate(new TWatchDelegate(dgWatches));
  dgWatches->setSelectionMode(QAbstractItemView::SingleSelection);
  dgWatches->setSelectionBehavior(QAbstractItemView::SelectItems);
  dgWatches->setEditTriggers(QAbstractItemView::NoEditTriggers);
  dgWatches->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  dgWatches->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  dgWatches->setShowGrid(true);
  dgWatches->setWordWrap(false);
  QHeaderView* rows = dgWatches->verticalHeader();
  rows->hide();
  rows->setMinimumSectionSize(1);
  rows->setSectionResizeMode(QHeaderView::Fixed);
  rows->setDefaultSectionSize(kRowHeight);
  QHeaderView* columns = dgWatches->horizontalHeader();
  columns->setStretchLastSection(false);
  columns->setMinimumSectionSize(1);
  columns->setSectionResizeMode(QHeaderView::Interactive);
  columns->setSectionsClickable(false);
  columns->setHighlightSections(false);
  layout->addWidget(dgWatches);

  dgWatches->installEventFilter(this);
  dgWatches->viewport()->installEventFilter(this);
  columns->viewport()->installEventFilter(this);
  connect(dgWatches, &QAbstractItemView::doubleClicked, this, [this] { EditValue(); });

  BuildPopupMenu();
  dgWatches->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(dgWatches, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& Pos) { lmnuWatch->popup(dgWatches->viewport()->mapToGlobal(Pos)); });
  SetColumnSplit(columnSplit_);
}

void TWatchesViewerForm::BuildPopupMenu() {
  lmnuWatch = new QMenu(this);
  lmnuWatch->setObjectName(QStringLiteral("lmnuWatch"));
  auto add = [this](const char* Name, const char* Text, bool Checkable) {
    QAction* action = lmnuWatch->addAction(QString::fromUtf8(Text));
    action->setObjectName(QString::fromLatin1(Name));
    action->setCheckable(Checkable);
    return action;
  };
  lmiEditValue = add("lmiEditValue", "&Wert ändern...", false);
  lmnuWatch->setDefaultAction(lmiEditValue);
  lmnuWatch->addSeparator();
  lmiShowBinary = add("lmiShowBinary", "&Binärwert", true);
  lmiShowDecimal = add("lmiShowDecimal", "&Dezimalwert", true);
  lmiShowHexaDecimal = add("lmiShowHexaDecimal", "He&xadezimalwert", true);
  lmnuWatch->addSeparator();
  lmiAddWatch = add("lmiAddWatch", "Bezeichner &hinzufügen...", false);
  lmiDeleteWatch = add("lmiDeleteWatch", "Bezeichner &löschen", false);

  connect(lmnuWatch, &QMenu::aboutToShow, this, &TWatchesViewerForm::UpdatePopupMenu);
  connect(lmiEditValue, &QAction::triggered, this, [this] { EditValue(); });
  connect(lmiShowBinary, &QAction::triggered, this, [this] { ShowFormat(TWatchFormat::Binary); });
  connect(lmiShowDecimal, &QAction::triggered, this, [this] { ShowFormat(TWatchFormat::Decimal); });
  connect(lmiShowHexaDecimal, &QAction::triggered, this, [this] { ShowFormat(TWatchFormat::Hex); });
  connect(lmiAddWatch, &QAction::triggered, this, [this] { AddWatch(); });
  connect(lmiDeleteWatch, &QAction::triggered, this, [this] { DeleteWatch(); });
}

void TWatchesViewerForm::SetColumnSplit(int P) {
  // The share is kept as given: taking it back from the rounded width on
  // every resize would let it shrink a little with each one.
  columnSplit_ = std::clamp(P, kMinSplit, kMaxSplit);
  const int width = dgWatches->viewport()->width();
  if (width <= 0) return;
  const int first = int(std::int64_t(width) * columnSplit_ / 1000);
  dgWatches->setColumnWidth(0, first);
  dgWatches->setColumnWidth(1, std::max(width - first - 1, 1));
}

int TWatchesViewerForm::SelectedIndex() const {
  const QModelIndex current = dgWatches->currentIndex();
  return current.isValid() ? current.row() : -1;
}

void TWatchesViewerForm::UpdatePopupMenu() {
  lmiAddWatch->setEnabled(ActiveProject() != nullptr);
  Ref<IVexaWatch> watch = TWatchesModel::WatchAt(SelectedIndex());
  const struct {
    QAction* Item;
    TWatchFormat Format;
  } formats[] = {{lmiShowBinary, TWatchFormat::Binary},
                 {lmiShowDecimal, TWatchFormat::Decimal},
                 {lmiShowHexaDecimal, TWatchFormat::Hex}};
  if (!watch) {
    lmiEditValue->setEnabled(false);
    lmiDeleteWatch->setEnabled(false);
    for (const auto& f : formats) {
      f.Item->setEnabled(false);
      f.Item->setChecked(false);
    }
    return;
  }
  lmiEditValue->setEnabled(watch->HasValue() && SimulationPaused());
  const bool integer = IsIntegerType(watch->GetType());
  const TWatchFormat format = watch->GetFormat();
  for (const auto& f : formats) {
    f.Item->setEnabled(integer);
    f.Item->setChecked(integer && format == f.Format);
  }
  lmiDeleteWatch->setEnabled(true);
}

void TWatchesViewerForm::AddWatch() {
  QString name;
  if (!Dialogs().InputQuery(QStringLiteral("Neuer überwachter Bezeichner"),
                            QStringLiteral("Geben Sie den zu überwachenden Bezeichner ein:"), name))
    return;
  if (Ref<IVexaProject> project = ActiveProject()) project->AddWatchName(name);
}

void TWatchesViewerForm::DeleteWatch() {
  Ref<IVexaProject> project = ActiveProject();
  if (!project) return;
  const int index = SelectedIndex();
  if (index >= 0 && index < project->GetWatchCount()) project->DeleteWatch(index);
}

void TWatchesViewerForm::EditValue() {
  if (!ActiveProject()) return;
  Ref<IVexaWatch> watch = TWatchesModel::WatchAt(SelectedIndex());
  if (!watch || !watch->HasValue() || !SimulationPaused()) return;
  QString text = watch->GetValueText();
  if (text.size() >= 2 && text.startsWith(u'"') && text.endsWith(u'"'))
    text = text.mid(1, text.size() - 2);
  if (!Dialogs().InputQuery(QStringLiteral("Wert ändern"),
                            QStringLiteral("Geben Sie den neuen Wert des Bezeichner ein:"), text))
    return;
  watch->SetTypeText(text);
  // The dialog ran an event loop: the simulation and the project are asked again.
  Ref<IVexaSimulator> simulator = CurrentSimulator;
  Ref<IVexaProject> project = ActiveProject();
  if (simulator && project && simulator->GetProject() == project) simulator->Refresh();
}

void TWatchesViewerForm::ShowFormat(TWatchFormat Format) {
  const int row = SelectedIndex();
  Ref<IVexaWatch> watch = TWatchesModel::WatchAt(row);
  if (!watch) return;
  watch->SetFormat(Format);
  Model->RepaintRow(row);
}

bool TWatchesViewerForm::eventFilter(QObject* Watched, QEvent* Event) {
  if (Watched == dgWatches->viewport() && Event->type() == QEvent::Resize) {
    SetColumnSplit(columnSplit_);
  } else if ((Watched == dgWatches->viewport() ||
              Watched == dgWatches->horizontalHeader()->viewport()) &&
             Event->type() == QEvent::MouseButtonRelease) {
    // A column drag is remembered as a share of the width.
    const int width = dgWatches->viewport()->width();
    if (width > 0) SetColumnSplit(int(std::int64_t(dgWatches->columnWidth(0)) * 1000 / width));
  } else if (Watched == dgWatches && Event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(Event);
    const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
    if (mods == Qt::NoModifier) {
      switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter: EditValue(); return true;
        case Qt::Key_Insert: AddWatch(); return true;
        case Qt::Key_Delete: DeleteWatch(); return true;
        default: break;
      }
    }
  }
  return QWidget::eventFilter(Watched, Event);
}

void TWatchesViewerForm::showEvent(QShowEvent* Event) {
  QWidget::showEvent(Event);
  Model->UpdateRowCount();
}

}  // namespace vexa::ide
