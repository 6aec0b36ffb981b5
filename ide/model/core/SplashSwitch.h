#pragma once

#include <QString>
#include <QStringList>

namespace vexa::ide {

// Whether a command-line argument is Switch after a "-", in any letter case.
// Arguments as QCoreApplication::arguments(): the first, the program, is
// never a switch.
bool HasSwitch(const QStringList& Arguments, const QString& Switch);

// "-ns" or "-NoSplash": start without the splash window.
bool NoSplashRequested(const QStringList& Arguments);

}  // namespace vexa::ide
