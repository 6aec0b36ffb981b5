#include "widgets/shared/PaletteColors.h"

namespace vexa::ide {
namespace {

QPalette::ColorRole QtRole(TPaletteRole role) {
  switch (role) {
    case TPaletteRole::Window: return QPalette::Window;
    case TPaletteRole::WindowText: return QPalette::WindowText;
    case TPaletteRole::Base: return QPalette::Base;
    case TPaletteRole::Text: return QPalette::Text;
    case TPaletteRole::Button: return QPalette::Button;
    case TPaletteRole::ButtonText: return QPalette::ButtonText;
    case TPaletteRole::Highlight: return QPalette::Highlight;
    case TPaletteRole::HighlightedText: return QPalette::HighlightedText;
    case TPaletteRole::Light: return QPalette::Light;
    case TPaletteRole::Midlight: return QPalette::Midlight;
    case TPaletteRole::Mid: return QPalette::Mid;
    case TPaletteRole::Dark: return QPalette::Dark;
    case TPaletteRole::Shadow: return QPalette::Shadow;
    case TPaletteRole::ToolTipBase: return QPalette::ToolTipBase;
    case TPaletteRole::ToolTipText: return QPalette::ToolTipText;
    case TPaletteRole::Link: return QPalette::Link;
  }
  return QPalette::Window;
}

}  // namespace

QColor ResolveColor(TVexaColor Color, const QPalette& Palette, const QColor& Default) {
  if (Color.IsNone()) return Default;
  if (!Color.IsSystem()) return QColor(Color.Red(), Color.Green(), Color.Blue());
  auto role = SystemColorRole(Color.SystemIndex());
  if (!role) return Default;
  return Palette.color(role->Disabled ? QPalette::Disabled : QPalette::Active, QtRole(role->Role));
}

}  // namespace vexa::ide
