#pragma once

#include <QString>
#include <QUrl>

namespace vexa::ide {

// The help page Name ("vxide.html", ...) in "Help/" of the program's directory.
QUrl HelpFileUrl(const QString& Name);

// Opens the help page with the desktop's browser. A missing page or browser
// is not reported.
void OpenHelpFile(const QString& Name);

}  // namespace vexa::ide
