#include "vexa/platform/Language.h"

#include <cstdlib>
#include <string_view>

namespace vexa::platform {

Language systemLanguage(const EnvironmentLookup& lookup) {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = lookup(name);
    if (value == nullptr || *value == '\0') continue;
    return std::string_view(value).starts_with("de") ? Language::German : Language::English;
  }
  return Language::English;
}

Language systemLanguage() {
  return systemLanguage(
      [](const char* name) { return static_cast<const char*>(std::getenv(name)); });
}

}  // namespace vexa::platform
