#include "model/core/SplashSwitch.h"

namespace vexa::ide {

bool HasSwitch(const QStringList& Arguments, const QString& Switch) {
  for (qsizetype i = 1; i < Arguments.size(); ++i) {
    const QString& arg = Arguments[i];
    if (arg.size() == Switch.size() + 1 && arg.startsWith(QLatin1Char('-')) &&
        QStringView(arg).mid(1).compare(Switch, Qt::CaseInsensitive) == 0)
      return true;
  }
  return false;
}

bool NoSplashRequested(const QStringList& Arguments) {
  return HasSwitch(Arguments, QStringLiteral("ns")) ||
         HasSwitch(Arguments, QStringLiteral("NoSplash"));
}

}  // namespace vexa::ide
