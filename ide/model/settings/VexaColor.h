#pragma once

#include <QtGlobal>

#include <optional>

namespace vexa::ide {

// A colour as the settings keep it: 0x00BBGGRR, or 0x80000000 + n for the
// system colour n, or NoColor (the default of whoever draws applies).
class TVexaColor {
 public:
  static constexpr quint32 NoColor = 0x1FFFFFFF;
  static constexpr quint32 SystemFlag = 0x80000000;

  constexpr TVexaColor() = default;
  constexpr explicit TVexaColor(quint32 value) : value_(value) {}
  static constexpr TVexaColor FromRgb(int r, int g, int b) {
    return TVexaColor(quint32(r & 0xFF) | quint32(g & 0xFF) << 8 | quint32(b & 0xFF) << 16);
  }
  static constexpr TVexaColor System(int index) { return TVexaColor(SystemFlag | quint32(index)); }

  constexpr quint32 Value() const { return value_; }
  constexpr bool IsNone() const { return value_ == NoColor; }
  constexpr bool IsSystem() const { return (value_ & SystemFlag) != 0; }
  constexpr int SystemIndex() const { return int(value_ & ~SystemFlag); }
  // Only meaningful for a plain colour.
  constexpr int Red() const { return int(value_ & 0xFF); }
  constexpr int Green() const { return int(value_ >> 8 & 0xFF); }
  constexpr int Blue() const { return int(value_ >> 16 & 0xFF); }

  friend constexpr bool operator==(TVexaColor, TVexaColor) = default;

 private:
  quint32 value_ = NoColor;
};

// The palette role that stands in for a system colour; the widget layer maps
// it to QPalette (same names as QPalette::ColorRole).
enum class TPaletteRole {
  Window,
  WindowText,
  Base,
  Text,
  Button,
  ButtonText,
  Highlight,
  HighlightedText,
  Light,
  Midlight,
  Mid,
  Dark,
  Shadow,
  ToolTipBase,
  ToolTipText,
  Link,
};

struct TSystemColorRole {
  TPaletteRole Role;
  bool Disabled;  // taken from the palette's disabled group
};

// The role for system colour n; none for a number without one.
std::optional<TSystemColorRole> SystemColorRole(int index);

}  // namespace vexa::ide
