#include "vexa/platform/Language.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace vexa::platform {
namespace {

struct Case {
  std::map<std::string, std::string> env;
  Language expected;
};

TEST(SystemLanguage, FirstSetVariableDecides) {
  const Case cases[] = {
      {{}, Language::English},
      {{{"LANG", "de_DE.UTF-8"}}, Language::German},
      {{{"LANG", "en_US.UTF-8"}}, Language::English},
      {{{"LANG", "de"}}, Language::German},
      {{{"LANG", "C"}}, Language::English},
      {{{"LC_MESSAGES", "de_AT"}, {"LANG", "en_GB"}}, Language::German},
      {{{"LC_MESSAGES", "en_GB"}, {"LANG", "de_DE"}}, Language::English},
      {{{"LC_ALL", "en_US"}, {"LC_MESSAGES", "de_DE"}, {"LANG", "de_DE"}}, Language::English},
      {{{"LC_ALL", "de_CH"}, {"LANG", "en_US"}}, Language::German},
      // An empty value counts as not set.
      {{{"LC_ALL", ""}, {"LC_MESSAGES", ""}, {"LANG", "de_DE"}}, Language::German},
      // Only the prefix counts, and it is case-sensitive like the locale names.
      {{{"LANG", "DE_de"}}, Language::English},
      {{{"LANG", "dk_DK"}}, Language::English},
  };
  for (const Case& c : cases) {
    const auto lookup = [&c](const char* name) -> const char* {
      const auto it = c.env.find(name);
      return it == c.env.end() ? nullptr : it->second.c_str();
    };
    EXPECT_EQ(systemLanguage(lookup), c.expected)
        << "LANG=" << (lookup("LANG") ? lookup("LANG") : "-");
  }
}

}  // namespace
}  // namespace vexa::platform
