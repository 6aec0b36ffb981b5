#include "widgets/shared/PaletteColors.h"

#include "TestApp.h"

#include <gtest/gtest.h>

namespace vexa::ide {
namespace {

TEST(ResolveColor, PlainSystemAndNoColour) {
  test::TestApp();
  QPalette palette;
  palette.setColor(QPalette::Active, QPalette::Highlight, QColor(1, 2, 3));
  palette.setColor(QPalette::Active, QPalette::HighlightedText, QColor(4, 5, 6));
  palette.setColor(QPalette::Disabled, QPalette::Text, QColor(7, 8, 9));
  palette.setColor(QPalette::Active, QPalette::Button, QColor(10, 11, 12));
  const QColor fallback(99, 98, 97);
  struct Case {
    quint32 value;
    QColor expected;
  } const cases[] = {
      {0x000000FF, QColor(255, 0, 0)},  // red: 0x00BBGGRR
      {0x00FF0000, QColor(0, 0, 255)},  // blue
      {0x00000080, QColor(128, 0, 0)},  // maroon
      {0x00123456, QColor(0x56, 0x34, 0x12)},
      {0x8000000D, QColor(1, 2, 3)},     // highlight
      {0x8000000E, QColor(4, 5, 6)},     // highlighted text
      {0x80000011, QColor(7, 8, 9)},     // grey text
      {0x8000000F, QColor(10, 11, 12)},  // button face
      {0x80000019, fallback},            // a number without a role
      {0x800000FF, fallback},
      {TVexaColor::NoColor, fallback},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ResolveColor(TVexaColor(c.value), palette, fallback), c.expected)
        << std::hex << c.value;
}

}  // namespace
}  // namespace vexa::ide
