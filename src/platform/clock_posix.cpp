#include <ctime>

#include <cstdio>

#include "platform/clock_posix.h"

namespace tdwk {

using namespace std::chrono;

local_seconds SystemClock::Now() const {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&now, &local);
  const year_month_day date{year{local.tm_year + 1900}, month{unsigned(local.tm_mon + 1)},
                            day{unsigned(local.tm_mday)}};
  return local_days{date} + hours{local.tm_hour} + minutes{local.tm_min} +
         seconds{local.tm_sec > 59 ? 59 : local.tm_sec};
}

std::optional<local_seconds> ParseLocalDateTime(std::string_view text) {
  if (text.size() != 19 || text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':' ||
      text[16] != ':') {
    return std::nullopt;
  }
  const auto number = [&](std::size_t at, std::size_t count) -> int {
    int value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
      if (text[i] < '0' || text[i] > '9') return -1;
      value = value * 10 + (text[i] - '0');
    }
    return value;
  };
  const int y = number(0, 4), mo = number(5, 2), d = number(8, 2);
  const int h = number(11, 2), mi = number(14, 2), s = number(17, 2);
  if (y < 0 || mo < 0 || d < 0 || h < 0 || h > 23 || mi < 0 || mi > 59 || s < 0 || s > 59) {
    return std::nullopt;
  }
  const year_month_day date{year{y}, month{unsigned(mo)}, day{unsigned(d)}};
  if (!date.ok()) return std::nullopt;
  return local_days{date} + hours{h} + minutes{mi} + seconds{s};
}

}  // namespace tdwk
