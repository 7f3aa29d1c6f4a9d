#include <langinfo.h>
#include <ctime>

#include <fmt/format.h>
#include <locale>

#include "platform/locale_posix.h"

namespace tdwk {

namespace {

// Digits in threes with a ',' that GroupDigits then replaces by the user's separator, which
// may be more than one byte (a no-break space, say).
class GroupedInThrees : public std::numpunct<char> {
 protected:
  char do_thousands_sep() const override { return ','; }
  std::string do_grouping() const override { return "\3"; }
};

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos;
       at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

std::string Formatted(locale_t locale, const std::string& format, const std::tm& when) {
  char buffer[128];
  const std::size_t length = ::strftime_l(buffer, sizeof buffer, format.c_str(), &when, locale);
  return std::string(buffer, length);
}

}  // namespace

PosixLocale::PosixLocale() {
  locale_ = ::newlocale(LC_ALL_MASK, "", nullptr);
  if (locale_ == nullptr) locale_ = ::newlocale(LC_ALL_MASK, "C", nullptr);
  // Four-digit years: dates of birth span centuries.
  dateFormat_ = Replaced(::nl_langinfo_l(D_FMT, locale_), "%y", "%Y");
  timeFormat_ = ::nl_langinfo_l(T_FMT, locale_);
  thousandsSeparator_ = ::nl_langinfo_l(THOUSEP, locale_);
  if (thousandsSeparator_.empty()) thousandsSeparator_ = ",";
  if (dateFormat_.empty()) dateFormat_ = "%m/%d/%Y";
  if (timeFormat_.empty()) timeFormat_ = "%H:%M:%S";
}

PosixLocale::~PosixLocale() {
  if (locale_ != nullptr) ::freelocale(locale_);
}

std::string PosixLocale::ShortDate(std::chrono::year_month_day date) const {
  std::tm when{};
  when.tm_year = static_cast<int>(date.year()) - 1900;
  when.tm_mon = static_cast<int>(unsigned(date.month())) - 1;
  when.tm_mday = static_cast<int>(unsigned(date.day()));
  when.tm_wday = static_cast<int>(std::chrono::weekday{std::chrono::sys_days{date}}.c_encoding());
  return Formatted(locale_, dateFormat_, when);
}

std::string PosixLocale::LongTime(std::chrono::hh_mm_ss<std::chrono::seconds> time) const {
  std::tm when{};
  when.tm_hour = static_cast<int>(time.hours().count());
  when.tm_min = static_cast<int>(time.minutes().count());
  when.tm_sec = static_cast<int>(time.seconds().count());
  return Formatted(locale_, timeFormat_, when);
}

std::string PosixLocale::GroupDigits(long long value) const {
  static_assert(sizeof(long long) == 8);
  const std::locale grouping(std::locale::classic(), new GroupedInThrees);
  return Replaced(fmt::format(grouping, "{:L}", value), ",", thousandsSeparator_);
}

}  // namespace tdwk
