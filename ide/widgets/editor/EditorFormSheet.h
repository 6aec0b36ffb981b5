#pragma once

// The tab page of the editor page control that holds one source editor's
// form.

#include <QPointer>
#include <QTabWidget>
#include <QWidget>

namespace vexa::ide {

// The tab page of an editor; deleted on a later turn of the event loop after
// the editor closes (deleteLater), which takes the form with it.
class TEditorFormSheet : public QWidget {
  Q_OBJECT

 public:
  explicit TEditorFormSheet(QTabWidget* PageControl);
  QTabWidget* PageControl() const { return pageControl_; }

 private:
  QPointer<QTabWidget> pageControl_;
};

}  // namespace vexa::ide
