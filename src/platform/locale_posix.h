#pragma once

#include <locale.h>  // locale_t

#include <chrono>
#include <string>

#include "platform/locale.h"

namespace tdwk {

// The user's locale as the C library resolves it from LC_ALL, LC_TIME, LC_NUMERIC and LANG.
class PosixLocale : public Locale {
 public:
  PosixLocale();
  ~PosixLocale() override;
  PosixLocale(const PosixLocale&) = delete;
  PosixLocale& operator=(const PosixLocale&) = delete;

  std::string ShortDate(std::chrono::year_month_day date) const override;
  std::string LongTime(std::chrono::hh_mm_ss<std::chrono::seconds> time) const override;
  std::string GroupDigits(long long value) const override;

 private:
  locale_t locale_;
  std::string dateFormat_;
  std::string timeFormat_;
  std::string thousandsSeparator_;
};

}  // namespace tdwk
