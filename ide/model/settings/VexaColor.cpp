#include "model/settings/VexaColor.h"

#include <array>

namespace vexa::ide {
namespace {

using R = TPaletteRole;

// Indexed by the system colour number.
constexpr std::array<std::optional<TSystemColorRole>, 31> kSystemColors = {{
    TSystemColorRole{R::Button, false},           // 0 scroll bar
    TSystemColorRole{R::Dark, false},             // 1 desktop
    TSystemColorRole{R::Highlight, false},        // 2 active caption
    TSystemColorRole{R::Mid, false},              // 3 inactive caption
    TSystemColorRole{R::Window, false},           // 4 menu
    TSystemColorRole{R::Base, false},             // 5 window
    TSystemColorRole{R::Shadow, false},           // 6 window frame
    TSystemColorRole{R::WindowText, false},       // 7 menu text
    TSystemColorRole{R::Text, false},             // 8 window text
    TSystemColorRole{R::HighlightedText, false},  // 9 caption text
    TSystemColorRole{R::Button, false},           // 10 active border
    TSystemColorRole{R::Button, false},           // 11 inactive border
    TSystemColorRole{R::Dark, false},             // 12 application workspace
    TSystemColorRole{R::Highlight, false},        // 13 highlight
    TSystemColorRole{R::HighlightedText, false},  // 14 highlighted text
    TSystemColorRole{R::Button, false},           // 15 button face
    TSystemColorRole{R::Dark, false},             // 16 button shadow
    TSystemColorRole{R::Text, true},              // 17 grey text
    TSystemColorRole{R::ButtonText, false},       // 18 button text
    TSystemColorRole{R::WindowText, true},        // 19 inactive caption text
    TSystemColorRole{R::Light, false},            // 20 button highlight
    TSystemColorRole{R::Shadow, false},           // 21 3D dark shadow
    TSystemColorRole{R::Midlight, false},         // 22 3D light
    TSystemColorRole{R::ToolTipText, false},      // 23 info text
    TSystemColorRole{R::ToolTipBase, false},      // 24 info background
    std::nullopt,                                 // 25 unused
    TSystemColorRole{R::Link, false},             // 26 hot light
    TSystemColorRole{R::Highlight, false},        // 27 gradient active caption
    TSystemColorRole{R::Mid, false},              // 28 gradient inactive caption
    TSystemColorRole{R::Highlight, false},        // 29 menu highlight
    TSystemColorRole{R::Window, false},           // 30 menu bar
}};

}  // namespace

std::optional<TSystemColorRole> SystemColorRole(int index) {
  if (index < 0 || index >= int(kSystemColors.size())) return std::nullopt;
  return kSystemColors[index];
}

}  // namespace vexa::ide
