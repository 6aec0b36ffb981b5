#include "widgets/mainwindow/Help.h"

#include "model/core/Helpers.h"

#include <QDesktopServices>

namespace vexa::ide {

QUrl HelpFileUrl(const QString& Name) {
  return QUrl::fromLocalFile(ProgramDirectory() + QStringLiteral("Help/") + Name);
}

void OpenHelpFile(const QString& Name) { QDesktopServices::openUrl(HelpFileUrl(Name)); }

}  // namespace vexa::ide
