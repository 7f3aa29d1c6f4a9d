#pragma once

#include <string>
#include <string_view>

namespace tdwk::desktop {

// The language tag the page reports as the user's language for a POSIX locale name such as
// "en_GB.UTF-8" or "de_DE@euro" ("en-GB", "de-DE"); "en" for a name that makes no valid tag
// ("C", "POSIX", "C.UTF-8", empty), since the player fails on an invalid one.
std::string LanguageTag(std::string_view localeName);

// The locale name that decides the language: LC_ALL, LC_MESSAGES or LANG, the first set.
std::string MessagesLocaleName();

}  // namespace tdwk::desktop
