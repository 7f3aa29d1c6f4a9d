#include "personalisation/countdowns.h"

#include <chrono>
#include <string_view>

#include "shell/serial_date.h"
#include "shell/shell.h"
#include "shell/trap.h"

namespace tdwk {

using namespace std::chrono;

namespace {

struct Target {
  local_days day;
  bool isToday = false;
};

// The date of a day and month in a year. 29 February in a common year is 1 March, as a
// child's age counts it; any other day the month lacks is no date.
local_days FormDate(year y, month m, day d) {
  const year_month_day date = y / m / d;
  if (date.ok()) return local_days{date};
  if (m == February && d == day{29} && y.ok()) return local_days{y / March / 1};
  Raise(vb::kTypeMismatch);
}

// This year's day when it has not passed yet, otherwise next year's.
Target FindTarget(month m, day d, local_days today) {
  const year thisYear = year_month_day{today}.year();
  const local_days formed = FormDate(thisYear, m, d);
  if (formed == today) return {today, true};
  if (formed < today) return {FormDate(thisYear + years{1}, m, d), false};
  return {formed, false};
}

}  // namespace

void Countdowns::setTimers() {
  RunTrapped(shell_.errors, kFormModule, "setTimers", [&] {
    const auto& child = shell_.state.currentChild;
    if (!child) Raise(vb::kObjectNotSet);
    // One reading of the clock for the whole answer: a second that passed midway could
    // otherwise make a count negative just after midnight.
    const local_seconds now = shell_.platform.clock.Now();
    const local_days today = floor<days>(now);

    // Both targets are known before anything is published.
    const year_month_day birth = DateFromSerial(child->dob);
    const Target birthday = FindTarget(birth.month(), birth.day(), today);
    const Target christmas = FindTarget(December, day{25}, today);

    FlashControl& main = shell_.frmTDWK.swfMain();
    const Locale& locale = shell_.platform.locale;
    const year_month_day current{today};
    const hh_mm_ss<seconds> timeOfDay{now - today};
    const long long hour = timeOfDay.hours().count();
    const long long minute = timeOfDay.minutes().count();
    const long long second = timeOfDay.seconds().count();

    const auto publish = [&](std::string_view prefix, const Target& target, const std::string& flag,
                             const std::string& messageName, const std::string& greeting) {
      const year_month_day to{target.day};
      const long long months = (int(to.year()) * 12LL + unsigned(to.month())) -
                               (int(current.year()) * 12LL + unsigned(current.month()));
      const long long dayCount = (target.day - today).count();
      const std::string p(prefix);
      main.SetVariable(p + "_MONTHS", locale.GroupDigits(months));
      main.SetVariable(p + "_WEEKS", locale.GroupDigits(dayCount / 7));
      main.SetVariable(p + "_DAYS", locale.GroupDigits(dayCount));
      if (target.isToday) {
        main.SetVariable(p + "_HOURS", "0");
        main.SetVariable(p + "_MINUTES", "0");
        main.SetVariable(p + "_SECONDS", "0");
      } else {
        main.SetVariable(p + "_HOURS", locale.GroupDigits(24 * dayCount - hour));
        main.SetVariable(p + "_MINUTES",
                         locale.GroupDigits(1440 * dayCount - (hour * 60 + minute)));
        main.SetVariable(p + "_SECONDS", locale.GroupDigits(86400 * dayCount -
                                                            (hour * 3600 + minute * 60 + second)));
      }
      main.SetVariable(flag, target.isToday ? "1" : "0");
      if (target.isToday) main.SetVariable(messageName, greeting);
    };
    // The words of a greeting are separated by a carriage return alone.
    publish("BDAY", birthday, "BIRTHDAY", "BIRTHDAY_MESSAGE",
            "Happy\rBirthday\r" + child->firstName);
    publish("XMAS", christmas, "CHRISTMAS", "CHRISTMAS_MESSAGE",
            "Merry\rChristmas\r" + child->firstName);
  });
}

}  // namespace tdwk
