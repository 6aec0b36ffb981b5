#include "widgets/editor/SourceEditorForm.h"

#include "model/core/Services.h"
#include "model/text/SpecialLines.h"
#include "widgets/editor/SourceEditor.h"
#include "widgets/shared/CommandsDataModule.h"

#include <QApplication>
#include <QFocusEvent>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace vexa::ide {

TSourceEditorForm::TSourceEditorForm(QWidget* Parent) : QWidget(Parent) {
  setObjectName(QStringLiteral("SourceEditorForm"));
  setWindowTitle(QStringLiteral("Editor"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  SynEditor = new TVexaEditControl(this);
  SynEditor->setObjectName(QStringLiteral("SynEditor"));
  layout->addWidget(SynEditor);

  SynEditor->setEolMode(QsciScintilla::EolUnix);
  SynEditor->SendScintilla(QsciScintilla::SCI_SETSCROLLWIDTHTRACKING, 1);
  SynEditor->installEventFilter(this);

  SynEditor->OnGetLineMarker = [this](int Line) { return LineMarker(Line); };
  SynEditor->OnGetLineLook = [this](int Line) { return LineLook(Line); };

  connect(SynEditor, &QsciScintilla::cursorPositionChanged, this, [this] {
    if (Editor) Editor->CaretMoved();
  });
  connect(SynEditor, &QsciScintilla::textChanged, this, [this] {
    if (Editor) Editor->TextChangedByUser();
  });
  connect(SynEditor, &QsciScintilla::modificationChanged, this, [this] {
    if (Editor) Editor->UpdateStatusPanels(false, true, false);
  });
  connect(SynEditor, &TVexaEditControl::ModeChanged, this, [this] {
    if (Editor) Editor->UpdateStatusPanels(false, false, true);
  });
  connect(SynEditor, &TVexaEditControl::ToggleBreakpoint, this, [this] {
    if (Editor) Editor->ToggleBreakpoint();
  });
  connect(SynEditor, &TVexaEditControl::LinesInserted, this, [this](int First, int Count) {
    if (!Editor || Editor->Loading()) return;
    if (Ref<IVexaModule> module = Editor->GetModule()) module->LinesInserted(First, Count);
  });
  connect(SynEditor, &TVexaEditControl::LinesDeleted, this, [this](int First, int Count) {
    if (!Editor || Editor->Loading()) return;
    if (Ref<IVexaModule> module = Editor->GetModule()) module->LinesDeleted(First, Count);
  });
  connect(SynEditor, &TVexaEditControl::CompletionRequested, this, [this] {
    if (Editor && SourceEditorHooks().Completion) SourceEditorHooks().Completion(*Editor);
  });

  BuildPopupMenu();
  SynEditor->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(SynEditor, &QWidget::customContextMenuRequested, this, &TSourceEditorForm::ShowPopupMenu);
}

TSourceEditorForm::~TSourceEditorForm() {
  if (Editor) Editor->FormDestroyed();
}

int TSourceEditorForm::LineMarker(int Line) const {
  if (!Editor) return 0;
  Ref<IVexaModule> module = Editor->GetModule();
  if (!module) return 0;
  return LineMarkerOf(module->GetLineFlags(Line), Line == ExecutionLine);
}

int TSourceEditorForm::LineLook(int Line) const {
  if (!Editor) return 0;
  Ref<IVexaModule> module = Editor->GetModule();
  if (!module) return 0;
  switch (LineColorKindOf(module->GetLineFlags(Line), Line == ErrorLine, Line == ExecutionLine)) {
    case TLineColorKind::ErrorLine: return LineLookError;
    case TLineColorKind::ExecutionLine: return LineLookExecution;
    case TLineColorKind::Breakpoint: return LineLookBreakpoint;
    case TLineColorKind::InvalidBreakpoint: return LineLookInvalidBreakpoint;
    case TLineColorKind::Normal: break;
  }
  return 0;
}

bool TSourceEditorForm::eventFilter(QObject* Watched, QEvent* Event) {
  if (Watched == menuBar_ && Event->type() == QEvent::FocusOut &&
      static_cast<QFocusEvent*>(Event)->reason() != Qt::PopupFocusReason) {
    // The focus already names the widget that takes it; none: the window
    // lost the activation, which has its own rule.
    QWidget* now = QApplication::focusWidget();
    if (now) WatchMenuBar(nullptr);
    if (now && now != SynEditor && Editor) Editor->FocusLeft();
  } else if (Watched == SynEditor && Editor) {
    // A context menu takes the focus only for a moment, and the menu bar
    // takes it from the keyboard to act on this editor; a dialog of our own
    // or another application leaves the handlers to the main window.
    if (Event->type() == QEvent::FocusIn) {
      WatchMenuBar(nullptr);
      if (static_cast<QFocusEvent*>(Event)->reason() != Qt::PopupFocusReason) {
        Editor->FocusEntered();
      }
    } else if (Event->type() == QEvent::FocusOut) {
      const Qt::FocusReason reason = static_cast<QFocusEvent*>(Event)->reason();
      if (reason == Qt::MenuBarFocusReason &&
          qobject_cast<QMenuBar*>(QApplication::focusWidget())) {
        WatchMenuBar(QApplication::focusWidget());
      } else if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) {
        Editor->FocusLeft();
      }
    }
  }
  return QWidget::eventFilter(Watched, Event);
}

void TSourceEditorForm::WatchMenuBar(QWidget* MenuBar) {
  if (menuBar_ == MenuBar) return;
  if (menuBar_) menuBar_->removeEventFilter(this);
  menuBar_ = MenuBar;
  if (menuBar_) menuBar_->installEventFilter(this);
}

void TSourceEditorForm::BuildPopupMenu() {
  lmnuSourceEditor = new QMenu(this);
  lmnuSourceEditor->setObjectName(QStringLiteral("lmnuSourceEditor"));
  mnuToggleBookmarks = new QMenu(QStringLiteral("&Positionsmarken umschalten"), lmnuSourceEditor);
  mnuGotoBookmarks = new QMenu(QStringLiteral("Zu P&ositionsmarken gehen"), lmnuSourceEditor);
  for (int n = 0; n < TVexaEditControl::kBookmarkCount; ++n) {
    const QString caption = QStringLiteral("Positionsmarke &%1").arg(n);
    QAction* toggle = mnuToggleBookmarks->addAction(caption);
    toggle->setCheckable(true);
    connect(toggle, &QAction::triggered, this,
            [this, n] { SynEditor->ExecuteCommand(TEditorCommand::SetMarker, n); });
    QAction* go = mnuGotoBookmarks->addAction(caption);
    connect(go, &QAction::triggered, this, [this, n] { SynEditor->GotoBookMark(n); });
  }
  connect(mnuToggleBookmarks, &QMenu::aboutToShow, this, [this] {
    const quint32 mask = SynEditor->GetBookMarkMask();
    const QList<QAction*> items = mnuToggleBookmarks->actions();
    for (int n = 0; n < items.size(); ++n) items[n]->setChecked(mask & (1u << n));
  });
  connect(mnuGotoBookmarks, &QMenu::aboutToShow, this, [this] {
    const quint32 mask = SynEditor->GetBookMarkMask();
    const QList<QAction*> items = mnuGotoBookmarks->actions();
    for (int n = 0; n < items.size(); ++n) items[n]->setEnabled(mask & (1u << n));
  });
}

void TSourceEditorForm::ShowPopupMenu(const QPoint& Pos) {
  // The command module's actions, as the main menu has them.
  lmnuSourceEditor->clear();
  auto add = [this](std::initializer_list<TActionSlot> Slots) {
    if (CommandsDataModule) CommandsDataModule->AddActions(lmnuSourceEditor, Slots);
  };
  if (CommandsDataModule) CommandsDataModule->UpdateActions();
  add({TAction::FileClose});
  lmnuSourceEditor->addSeparator();
  add({TAction::EditCut, TAction::EditCopy, TAction::EditPaste, TAction::EditDelete});
  lmnuSourceEditor->addSeparator();
  lmnuSourceEditor->addMenu(mnuToggleBookmarks);
  lmnuSourceEditor->addMenu(mnuGotoBookmarks);
  lmnuSourceEditor->addSeparator();
  add({TAction::ProjectAddWatch, TAction::ProjectToggleBrkpt});
  lmnuSourceEditor->popup(SynEditor->mapToGlobal(Pos));
}

}  // namespace vexa::ide
