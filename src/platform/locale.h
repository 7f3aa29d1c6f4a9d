#pragma once

#include <chrono>
#include <locale>
#include <string>

namespace tdwk {

// The user's regional settings.
class Locale {
 public:
  virtual ~Locale() = default;
  virtual std::string ShortDate(std::chrono::year_month_day date) const = 0;
  virtual std::string LongTime(std::chrono::hh_mm_ss<std::chrono::seconds> time) const = 0;
  // A locale whose numbers group digits in threes with the user's thousands separator.
  virtual const std::locale& Numbers() const = 0;
};

}  // namespace tdwk
