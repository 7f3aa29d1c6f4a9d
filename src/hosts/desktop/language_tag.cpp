#include "hosts/desktop/language_tag.h"

#include <glib.h>

#include <algorithm>
#include <cctype>

#include "base/ascii_case.h"

namespace tdwk::desktop {

namespace {

bool AllOf(std::string_view text, int (*test)(int)) {
  return std::all_of(text.begin(), text.end(), [test](unsigned char c) { return test(c) != 0; });
}

}  // namespace

std::string LanguageTag(std::string_view localeName) {
  const std::string fallback = "en";
  // language[_territory][.codeset][@modifier]
  std::string_view name = localeName.substr(0, localeName.find_first_of(".@"));
  const std::size_t underscore = name.find('_');
  const std::string_view language = name.substr(0, underscore);
  if (language.size() < 2 || language.size() > 3 || !AllOf(language, &isalpha)) return fallback;
  std::string tag = AsciiLowerCase(language);
  if (underscore == std::string_view::npos) return tag;

  const std::string_view region = name.substr(underscore + 1);
  if (region.size() == 2 && AllOf(region, &isalpha)) return tag + "-" + AsciiUpperCase(region);
  if (region.size() == 3 && AllOf(region, &isdigit)) return tag + "-" + std::string(region);
  return tag;
}

std::string MessagesLocaleName() {
  const gchar* const* names = g_get_language_names();
  return names != nullptr && names[0] != nullptr ? names[0] : "";
}

}  // namespace tdwk::desktop
