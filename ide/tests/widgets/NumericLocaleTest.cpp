#include "model/core/Helpers.h"

#include "TestApp.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace vexa::ide {
namespace {

std::string FormatG(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

// The application set up as main() does, for a German user.
TEST(NumericLocale, NumbersKeepTheDecimalPointUnderAGermanLocale) {
  if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) GTEST_SKIP() << "de_DE.UTF-8 not generated";
  std::setlocale(LC_ALL, "C");
  ::setenv("LC_ALL", "de_DE.UTF-8", 1);
  test::TestApp();
  std::setlocale(LC_ALL, "");  // as the application object did when it was made
  ASSERT_EQ(FormatG(3.5), "3,5") << "the German locale is not in effect";
  FixNumericLocale();
  EXPECT_EQ(FormatG(3.5), "3.5");
  EXPECT_EQ(std::strtod("1.5", nullptr), 1.5);
  ::unsetenv("LC_ALL");
  std::setlocale(LC_ALL, "C");
}

}  // namespace
}  // namespace vexa::ide
