#pragma once

namespace vexa::ide {

// Registers the pictures of the message view and the project tree
// (":/vexaide/VexaCurrentMessage", ":/vexaide/VexaProjectTree"). Idempotent.
void InitViewResources();

}  // namespace vexa::ide
