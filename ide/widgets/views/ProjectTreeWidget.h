#pragma once

// The tree control of the project tree.

#include <QTreeWidget>

namespace vexa::ide {

class TProjectEditorForm;

// The tree control: keys, focus and context menu go to its form.
class TProjectTreeWidget final : public QTreeWidget {
  Q_OBJECT

 public:
  TProjectTreeWidget(TProjectEditorForm* Form, QWidget* Parent);

  TProjectEditorForm* Form() const { return FForm; }

 protected:
  void keyPressEvent(QKeyEvent* Event) override;
  void focusInEvent(QFocusEvent* Event) override;
  void focusOutEvent(QFocusEvent* Event) override;
  void contextMenuEvent(QContextMenuEvent* Event) override;

 private:
  TProjectEditorForm* FForm;
};

}  // namespace vexa::ide
