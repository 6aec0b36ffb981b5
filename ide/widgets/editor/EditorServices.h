#pragma once

// Joins the source editor to the highlighters, the search commands and
// printing: fills the editor's hooks (SourceEditorHooks()).

namespace vexa::ide {

void InstallSourceEditorHooks();

}  // namespace vexa::ide
