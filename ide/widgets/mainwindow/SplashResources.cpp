#include "widgets/mainwindow/SplashResources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE names a function of the global namespace.
static void RegisterSplashResources() { Q_INIT_RESOURCE(vexaide_splash); }

namespace vexa::ide {

void InitSplashResources() {
  static const bool done = (RegisterSplashResources(), true);
  (void)done;
}

}  // namespace vexa::ide
