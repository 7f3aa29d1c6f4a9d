#pragma once

#include <chrono>

namespace tdwk {

// Serial dates: days since 30 December 1899 as a double, the fraction being the time of day.
inline constexpr std::chrono::local_days kSerialEpoch{std::chrono::year{1899} /
                                                      std::chrono::December / 30};

double SerialFromDays(std::chrono::local_days day);
double SerialFromTime(std::chrono::local_seconds time);
// Valid serial dates run from 1 January 100 to 31 December 9999.
bool IsValidSerial(double serial);
// The day of a serial date (its whole part towards minus infinity); throws Overflow when the
// serial date lies outside the valid range.
std::chrono::local_days DaysFromSerial(double serial);
std::chrono::year_month_day DateFromSerial(double serial);

// Forms a date from numbers that may lie outside their ranges: a month outside 1 to 12
// carries into the neighbouring years, a day outside the month into the neighbouring months.
std::chrono::local_days CarriedDate(int year, int month, int day);

}  // namespace tdwk
