#pragma once

namespace vexa::ide {

// Registers the pictures of the splash and the tip of the day (":/vexaide/");
// a static library's resources are not registered by themselves. Idempotent.
void InitSplashResources();

}  // namespace vexa::ide
