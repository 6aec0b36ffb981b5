#pragma once

#include <functional>
#include <string>

namespace vexa::platform {

enum class Language { English, German };

// Looks up one environment variable; returns nullptr when it is not set.
using EnvironmentLookup = std::function<const char*(const char* name)>;

// German when the first of LC_ALL, LC_MESSAGES and LANG that is set and not
// empty starts with "de"; English otherwise.
Language systemLanguage();
Language systemLanguage(const EnvironmentLookup& lookup);

}  // namespace vexa::platform
