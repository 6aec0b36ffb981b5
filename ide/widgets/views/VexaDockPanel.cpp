#include "widgets/views/VexaDockPanel.h"

namespace vexa::ide {

TVexaDockPanel::TVexaDockPanel(QWidget* MainForm, Qt::DockWidgetArea Area, const QString& Name)
    : QWidget(MainForm), FArea(Area) {
  setObjectName(Name);
  setAttribute(Qt::WA_DontShowOnScreen);
  hide();
}

}  // namespace vexa::ide
