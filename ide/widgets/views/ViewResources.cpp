#include "widgets/views/ViewResources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE names a function of the global namespace.
static void RegisterViewResources() { Q_INIT_RESOURCE(vexaide_views); }

namespace vexa::ide {

void InitViewResources() {
  static const bool done = (RegisterViewResources(), true);
  (void)done;
}

}  // namespace vexa::ide
