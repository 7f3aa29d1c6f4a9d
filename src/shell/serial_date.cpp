#include "shell/serial_date.h"

#include <cmath>

#include "base/vb_error.h"

namespace tdwk {

using namespace std::chrono;

namespace {
const double kFirstValid = SerialFromDays(local_days{year{100} / January / 1});
const double kLastValid = SerialFromDays(local_days{year{9999} / December / 31}) + 1.0;
}  // namespace

double SerialFromDays(local_days day) {
  return static_cast<double>((day - kSerialEpoch).count());
}

double SerialFromTime(local_seconds time) {
  const auto day = floor<days>(time);
  const auto seconds = (time - day).count();
  return SerialFromDays(day) + static_cast<double>(seconds) / 86400.0;
}

bool IsValidSerial(double serial) {
  return std::isfinite(serial) && serial >= kFirstValid && serial < kLastValid;
}

local_days DaysFromSerial(double serial) {
  if (!IsValidSerial(serial)) Raise(vb::kOverflow);
  return kSerialEpoch + days{static_cast<long>(std::floor(serial))};
}

year_month_day DateFromSerial(double serial) {
  return year_month_day{DaysFromSerial(serial)};
}

local_days CarriedDate(int y, int m, int d) {
  // Months carry into years first, then the day counts from the first of that month.
  const int monthIndex = y * 12 + (m - 1);
  const int carriedYear = (monthIndex >= 0 ? monthIndex : monthIndex - 11) / 12;
  const int carriedMonth = monthIndex - carriedYear * 12 + 1;
  const local_days first{year{carriedYear} / month{static_cast<unsigned>(carriedMonth)} / 1};
  return first + days{d - 1};
}

}  // namespace tdwk
