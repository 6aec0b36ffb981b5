#pragma once

// The program's start-up hooks (see Startup.h): the application, the
// services that exist, the splash and the main window.

#include "model/startup/Startup.h"

namespace vexa::ide {

TStartupHooks IDEStartupHooks();

}  // namespace vexa::ide
