#include "widgets/views/ProjectTreeWidget.h"

#include "widgets/views/ProjectEditorForm.h"

#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QKeyEvent>

namespace vexa::ide {

TProjectTreeWidget::TProjectTreeWidget(TProjectEditorForm* Form, QWidget* Parent)
    : QTreeWidget(Parent), FForm(Form) {}

void TProjectTreeWidget::keyPressEvent(QKeyEvent* Event) {
  const Qt::KeyboardModifiers mods =
      Event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
  if (mods == Qt::NoModifier && FForm->HandleKey(Event->key())) {
    Event->accept();
    return;
  }
  QTreeWidget::keyPressEvent(Event);
}

void TProjectTreeWidget::focusInEvent(QFocusEvent* Event) {
  QTreeWidget::focusInEvent(Event);
  FForm->TreeFocusChanged(true);
}

void TProjectTreeWidget::focusOutEvent(QFocusEvent* Event) {
  QTreeWidget::focusOutEvent(Event);
  // A popup menu (the tree's own or the main menu's) acts on the tree's
  // selection: the handler stays.
  if (Event->reason() != Qt::PopupFocusReason) FForm->TreeFocusChanged(false);
}

void TProjectTreeWidget::contextMenuEvent(QContextMenuEvent* Event) {
  if (Event->reason() == QContextMenuEvent::Mouse)
    if (QTreeWidgetItem* item = itemAt(viewport()->mapFrom(this, Event->pos())))
      setCurrentItem(item);
  FForm->ShowContextMenu(Event->globalPos());
  Event->accept();
}

}  // namespace vexa::ide
