#pragma once

#include <string>
#include <string_view>

namespace tdwk::desktop {

// The language tag the page reports as the user's language for a POSIX locale name such as
// "en_GB.UTF-8" or "de_DE@euro" ("en-GB", "de-DE"); "en" for a name that makes no valid tag
// ("C", "POSIX", "C.UTF-8", empty), since the player fails on an invalid one.
std::string LanguageTag(std::string_view localeName);

// The name of the user's first language, as GLib orders them: LANGUAGE (its first entry),
// LC_ALL, LC_MESSAGES or LANG, the first set; "C" when none is.
std::string MessagesLocaleName();

}  // namespace tdwk::desktop
