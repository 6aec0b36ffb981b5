#pragma once

// A dock site of the main window: one hidden widget per dock area.

#include <QWidget>

namespace vexa::ide {

// Stands for one dock area where a QWidget* names a dock site (DockInto).
// Never shown; its object name is the site's name.
class TVexaDockPanel final : public QWidget {
  Q_OBJECT

 public:
  TVexaDockPanel(QWidget* MainForm, Qt::DockWidgetArea Area, const QString& Name);
  Qt::DockWidgetArea Area() const { return FArea; }

 private:
  Qt::DockWidgetArea FArea;
};

}  // namespace vexa::ide
