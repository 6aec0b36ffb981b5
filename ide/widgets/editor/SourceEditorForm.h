#pragma once

// The window of one source editor: a tab page of the editor page control
// holding a borderless form whose client is the editor control. The form
// answers the control's gutter and colour questions from the editor object's
// module and passes focus, caret and text changes on to the object.

#include "model/text/IdentifierAtCaret.h"
#include "widgets/editor/VexaEditControl.h"

#include <QPointer>
#include <QTabWidget>
#include <QWidget>

class QMenu;
class QTabWidget;

namespace vexa::ide {

class TSourceEditor;

// The look numbers of the control for the four special line kinds.
enum : int {
  LineLookError = 1,
  LineLookExecution = 2,
  LineLookBreakpoint = 3,
  LineLookInvalidBreakpoint = 4,
};

class TSourceEditorForm : public QWidget {
  Q_OBJECT

 public:
  explicit TSourceEditorForm(QWidget* Parent = nullptr);
  ~TSourceEditorForm() override;

  TVexaEditControl* SynEditor;
  QMenu* lmnuSourceEditor;
  QMenu* mnuToggleBookmarks;
  QMenu* mnuGotoBookmarks;

  // Cleared by the object when it dies first.
  TSourceEditor* Editor = nullptr;
  int ExecutionLine = -1;
  int ErrorLine = -1;
  int TextPresent = -1;  // -1 not yet computed, 0 empty, 1 not empty
  // Where SetErrorLine put the caret: the caret-move notice of that position
  // (it comes with the next paint) keeps the error line. -1 when none.
  long ErrorLineCaret = -1;
  // Cleared by every caret move and text change; the caret position it was
  // computed at (the caret-move notice only comes with the next paint).
  TIdentifierAtCaretInfo IdentAtCaret;
  long IdentAtCaretPos = -1;

  // The look of a line for the control (0 normal).
  int LineLook(int Line) const;
  int LineMarker(int Line) const;

 protected:
  bool eventFilter(QObject* Watched, QEvent* Event) override;

 private:
  void BuildPopupMenu();
  void ShowPopupMenu(const QPoint& Pos);
  // The menu bar that took the focus from the control, watched until it
  // gives the focus away.
  void WatchMenuBar(QWidget* MenuBar);

  // Set while the menu bar has the keyboard on behalf of this editor.
  QPointer<QWidget> menuBar_;
};

}  // namespace vexa::ide
