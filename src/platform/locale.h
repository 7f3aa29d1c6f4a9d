#pragma once

#include <chrono>
#include <string>

namespace tdwk {

// The user's regional settings.
class Locale {
 public:
  virtual ~Locale() = default;
  virtual std::string ShortDate(std::chrono::year_month_day date) const = 0;
  virtual std::string LongTime(std::chrono::hh_mm_ss<std::chrono::seconds> time) const = 0;
  // A whole number with its digits grouped in threes by the user's thousands separator.
  virtual std::string GroupDigits(long long value) const = 0;
};

}  // namespace tdwk
