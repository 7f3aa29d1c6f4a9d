#include "profiles/profile_key.h"

#include <charconv>
#include <string>

#include "shell/error_log.h"
#include "shell/vb_error.h"

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

void ReportRefusedKey(ErrorLog& errors, std::string_view module, std::string_view procedure) {
  errors.ReportError(vb::kBadFileName, ErrorDescription(vb::kBadFileName), std::string(module),
                     std::string(procedure), "");
}

}  // namespace tdwk
