#include "hosts/desktop/language_tag.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace tdwk::desktop {

namespace {

bool AllOf(std::string_view text, int (*test)(int)) {
  return std::all_of(text.begin(), text.end(), [test](unsigned char c) { return test(c) != 0; });
}

std::string Lower(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return out;
}

std::string Upper(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return out;
}

}  // namespace

std::string LanguageTag(std::string_view localeName) {
  const std::string fallback = "en";
  // language[_territory][.codeset][@modifier]
  std::string_view name = localeName.substr(0, localeName.find_first_of(".@"));
  const std::size_t underscore = name.find('_');
  const std::string_view language = name.substr(0, underscore);
  if (language.size() < 2 || language.size() > 3 || !AllOf(language, &isalpha)) return fallback;
  std::string tag = Lower(language);
  if (underscore == std::string_view::npos) return tag;

  const std::string_view region = name.substr(underscore + 1);
  if (region.size() == 2 && AllOf(region, &isalpha)) return tag + "-" + Upper(region);
  if (region.size() == 3 && AllOf(region, &isdigit)) return tag + "-" + std::string(region);
  return tag;
}

std::string MessagesLocaleName() {
  for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') return value;
  }
  return {};
}

}  // namespace tdwk::desktop
