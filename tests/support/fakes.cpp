#include "support/fakes.h"

#include <fmt/format.h>

namespace tdwk::test {

std::string BritishLocale::ShortDate(std::chrono::year_month_day date) const {
  return fmt::format("{:02}/{:02}/{:04}", unsigned(date.day()), unsigned(date.month()),
                     int(date.year()));
}

std::string BritishLocale::LongTime(std::chrono::hh_mm_ss<std::chrono::seconds> time) const {
  return fmt::format("{:02}:{:02}:{:02}", time.hours().count(), time.minutes().count(),
                     time.seconds().count());
}

std::string BritishLocale::GroupDigits(long long value) const {
  const std::string digits = std::to_string(value < 0 ? -value : value);
  std::string grouped;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) grouped += ',';
    grouped += digits[i];
  }
  return value < 0 ? "-" + grouped : grouped;
}

}  // namespace tdwk::test
