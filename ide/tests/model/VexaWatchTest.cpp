#include "model/projects/VexaWatch.h"

#include <gtest/gtest.h>

#include <QLocale>

#include <bit>
#include <clocale>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>

namespace vexa::ide {
namespace {

const QString kNoValue = QString::fromUtf8("Auswertung nicht möglich");

TEST(VexaWatch, IntegerValuesShowInEveryFormatWithTheTypesWidth) {
  struct Case {
    const char* what;
    bool basic;
    TWatchType type;
    std::int32_t value;
    const char *decimal, *hex, *binary;
  } const cases[] = {
      {"V2 int -1", false, TWatchType::Int, -1, "-1", "0xFFFF", "0b1111111111111111"},
      {"V2 byte 200", false, TWatchType::Byte, 200, "200", "0xC8", "0b11001000"},
      {"V2 byte -56", false, TWatchType::Byte, -56, "200", "0xC8", "0b11001000"},
      {"V2 int 0x12345", false, TWatchType::Int, 0x12345, "9029", "0x2345", "0b0010001101000101"},
      {"V2 long -2", false, TWatchType::Long, -2, "-2", "0xFFFFFFFE",
       "0b11111111111111111111111111111110"},
      {"V2 long 5", false, TWatchType::Long, 5, "5", "0x00000005",
       "0b00000000000000000000000000000101"},
      {"V2 unknown type 7", false, TWatchType::Unknown, 7, "7", "0x00000007",
       "0b00000000000000000000000000000111"},
      {"BASIC -2", true, TWatchType::Int, -2, "-2", "&HFFFE", "&B1111111111111110"},
      {"BASIC 10", true, TWatchType::Int, 10, "10", "&H000A", "&B0000000000001010"},
      {"BASIC 0x18000", true, TWatchType::Int, 0x18000, "-32768", "&H8000", "&B1000000000000000"},
  };
  for (const Case& c : cases) {
    std::unique_ptr<IVexaWatch> watch;
    if (c.basic)
      watch = std::make_unique<TVexaBASICWatch>("x");
    else
      watch = std::make_unique<TVexaV2Watch>("x");
    watch->SetType(c.type);
    watch->SetIntValue(c.value);
    const char* expected[] = {c.decimal, c.hex, c.binary};
    for (TWatchFormat format : {TWatchFormat::Decimal, TWatchFormat::Hex, TWatchFormat::Binary}) {
      watch->SetFormat(format);
      const int number = static_cast<int>(format);
      EXPECT_EQ(watch->GetValueText(), expected[number]) << c.what << " format " << number;
    }
  }
}

TEST(VexaWatch, FloatsUseAPointWhateverTheLocaleAndStringsAreQuoted) {
  const QLocale previous;
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  const bool cGerman = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
  TVexaV2Watch watch("f");
  watch.SetType(TWatchType::Float);
  struct Case {
    double value;
    const char* text;
  } const cases[] = {{1.5, "1.5"}, {-0.25, "-0.25"}, {1e20, "1e+20"}, {3, "3"}, {0.1, "0.1"}};
  for (const Case& c : cases) {
    watch.SetFloatValue(c.value);
    for (TWatchFormat format : {TWatchFormat::Decimal, TWatchFormat::Hex}) {
      watch.SetFormat(format);
      EXPECT_EQ(watch.GetValueText(), c.text) << c.value;
    }
  }
  if (cGerman) std::setlocale(LC_NUMERIC, "C");
  QLocale::setDefault(previous);

  TVexaV2Watch text("s");
  text.SetType(TWatchType::String);
  text.SetStringValue("Hallo Welt");
  EXPECT_EQ(text.GetValueText(), "\"Hallo Welt\"");
}

// Sets the same value twice, then another, on a fresh watch of each kind.
TEST(VexaWatch, SameValueTwiceClearsTheChangedFlag) {
  struct Case {
    const char* what;
    std::function<std::unique_ptr<IVexaWatch>()> make;
    std::function<void(IVexaWatch&, int)> set;  // values 0 and 1 are equal, 2 differs
  } const cases[] = {
      {"V2 int", [] { return std::make_unique<TVexaV2Watch>("i"); },
       [](IVexaWatch& w, int n) { w.SetIntValue(n == 2 ? 7 : -3); }},
      // 0x100 and 0 are the same byte.
      {"V2 byte",
       [] {
         auto w = std::make_unique<TVexaV2Watch>("b");
         w->SetType(TWatchType::Byte);
         return w;
       },
       [](IVexaWatch& w, int n) { w.SetIntValue(n * 0x100 + (n == 2)); }},
      {"V2 float",
       [] {
         auto w = std::make_unique<TVexaV2Watch>("f");
         w->SetType(TWatchType::Float);
         return w;
       },
       [](IVexaWatch& w, int n) { w.SetFloatValue(n == 2 ? 1.5 : 0.25); }},
      {"V2 string",
       [] {
         auto w = std::make_unique<TVexaV2Watch>("s");
         w->SetType(TWatchType::String);
         return w;
       },
       [](IVexaWatch& w, int n) { w.SetStringValue(n == 2 ? "b" : "a"); }},
      // 0x10000 and 0 are the same 16-bit value.
      {"BASIC", [] { return std::make_unique<TVexaBASICWatch>("a"); },
       [](IVexaWatch& w, int n) { w.SetIntValue(n * 0x10000 + (n == 2)); }},
  };
  for (const Case& c : cases) {
    auto watch = c.make();
    EXPECT_FALSE(watch->GetChanged()) << c.what;
    c.set(*watch, 0);
    EXPECT_TRUE(watch->HasValue()) << c.what;
    EXPECT_TRUE(watch->GetChanged()) << c.what << ": first value";
    c.set(*watch, 1);
    EXPECT_FALSE(watch->GetChanged()) << c.what << ": same value again";
    c.set(*watch, 2);
    EXPECT_TRUE(watch->GetChanged()) << c.what << ": another value";
    const QString shown = watch->GetValueText();
    watch->Invalidate();
    EXPECT_FALSE(watch->GetChanged()) << c.what;
    EXPECT_EQ(watch->GetValueText(), kNoValue) << c.what;
    c.set(*watch, 2);
    EXPECT_TRUE(watch->GetChanged()) << c.what << ": the first value after no value";
    EXPECT_EQ(watch->GetValueText(), shown) << c.what;
  }
}

// A float watch tells values apart as their texts do: any NaN is the same
// as any other, 0 and -0 are not.
TEST(VexaWatch, FloatNaNStaysUnchangedAndNegativeZeroDiffers) {
  TVexaV2Watch watch("f");
  watch.SetType(TWatchType::Float);
  const double quiet = std::numeric_limits<double>::quiet_NaN();
  watch.SetFloatValue(quiet);
  EXPECT_TRUE(watch.GetChanged());
  const QString nanText = watch.GetValueText();
  watch.SetFloatValue(quiet);
  EXPECT_FALSE(watch.GetChanged()) << "the same NaN again";
  watch.SetFloatValue(-quiet);
  EXPECT_FALSE(watch.GetChanged()) << "a NaN with another sign";
  watch.SetFloatValue(std::bit_cast<double>(std::bit_cast<std::uint64_t>(quiet) | 1));
  EXPECT_FALSE(watch.GetChanged()) << "a NaN with another payload";
  EXPECT_EQ(watch.GetValueText(), nanText);
  watch.SetFloatValue(0.0);
  EXPECT_TRUE(watch.GetChanged()) << "a number after NaN";
  watch.SetFloatValue(quiet);
  EXPECT_TRUE(watch.GetChanged()) << "NaN after a number";

  watch.SetFloatValue(0.0);
  const QString zero = watch.GetValueText();
  watch.SetFloatValue(-0.0);
  EXPECT_TRUE(watch.GetChanged()) << "-0 after 0";
  EXPECT_EQ(zero, "0");
  EXPECT_EQ(watch.GetValueText(), "-0");
  watch.SetFloatValue(-0.0);
  EXPECT_FALSE(watch.GetChanged()) << "-0 again";
}

TEST(VexaWatch, ResetForgetsValueAndIndexUntilTheNextValue) {
  TVexaV2Watch v2("motor.speed");
  TVexaBASICWatch basic("A");
  EXPECT_EQ(v2.GetIndex(), -1);
  EXPECT_EQ(basic.GetIndex(), 0);
  EXPECT_EQ(basic.GetType(), TWatchType::Int);
  for (IVexaWatch* watch : {static_cast<IVexaWatch*>(&v2), static_cast<IVexaWatch*>(&basic)}) {
    EXPECT_EQ(watch->GetValueText(), kNoValue);
    watch->SetType(TWatchType::Int);
    watch->SetIndex(12);
    watch->SetIntValue(5);
    watch->Invalidate();
    EXPECT_EQ(watch->GetIndex(), 12) << "kept by Invalidate";
    watch->SetIntValue(5);
    watch->Reset();
    EXPECT_FALSE(watch->HasValue());
    EXPECT_FALSE(watch->GetChanged());
    EXPECT_EQ(watch->GetValueText(), kNoValue);
    watch->SetIntValue(6);
    EXPECT_EQ(watch->GetValueText(), "6");
  }
  EXPECT_EQ(v2.GetIndex(), -1);
  EXPECT_EQ(basic.GetIndex(), 0);

  // The VXBasic watch has one type and no float or string values.
  basic.SetType(TWatchType::String);
  basic.SetFloatValue(2.5);
  basic.SetStringValue("x");
  EXPECT_EQ(basic.GetType(), TWatchType::Int);
  EXPECT_EQ(basic.GetValueText(), "6");
}

// A stored number becomes a format only when it names one, with the same number.
TEST(VexaWatch, OnlyTheThreeStoredFormatNumbersBecomeFormats) {
  EXPECT_EQ(WatchFormatOf(0), TWatchFormat::Decimal);
  EXPECT_EQ(WatchFormatOf(1), TWatchFormat::Hex);
  EXPECT_EQ(WatchFormatOf(2), TWatchFormat::Binary);
  for (std::int32_t number : {-1, 3, 256, std::numeric_limits<std::int32_t>::min(),
                              std::numeric_limits<std::int32_t>::max()})
    EXPECT_FALSE(WatchFormatOf(number).has_value()) << number;
}

}  // namespace
}  // namespace vexa::ide
