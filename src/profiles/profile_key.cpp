#include "profiles/profile_key.h"

#include <charconv>
#include <string>

#include "base/ascii_case.h"
#include "base/vb_error.h"
#include "shell/error_log.h"

namespace tdwk {

std::optional<std::int16_t> ProfileKeyNumber(std::string_view key) {
  constexpr std::string_view kPrefix = "USER";
  if (!key.starts_with(kPrefix)) return std::nullopt;
  const std::string_view digits = key.substr(kPrefix.size());
  if (digits.empty() || digits.size() > 5 || digits.front() == '0') return std::nullopt;
  int number = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
  if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  if (number < 1 || number > kHighestProfileNumber) return std::nullopt;
  return static_cast<std::int16_t>(number);
}

std::optional<std::int16_t> ProfileFileNumber(std::string_view fileName) {
  // Letter case does not matter in file names: "user3.dat" is profile 3 too.
  const std::string upper = AsciiUpperCase(fileName);
  constexpr std::string_view kExtension = ".DAT";
  const std::string_view name = upper;
  if (!name.ends_with(kExtension)) return std::nullopt;
  return ProfileKeyNumber(name.substr(0, name.size() - kExtension.size()));
}

void ReportRefusedKey(ErrorLog& errors, std::string_view module, std::string_view procedure) {
  errors.ReportError(vb::kBadFileName, ErrorDescription(vb::kBadFileName), std::string(module),
                     std::string(procedure), "");
}

}  // namespace tdwk
