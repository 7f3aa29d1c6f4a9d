#pragma once

#include <chrono>
#include <string>

#include "platform/instance_lock.h"
#include "platform/locale.h"

namespace tdwk::test {

// Finds another copy running only while held is set.
class FakeInstanceLock : public InstanceLock {
 public:
  bool TryAcquire(const std::string&) override { return !held; }
  bool held = false;
};

// dd/mm/yyyy, HH:MM:SS and ',' between groups of digits, whatever the machine's locale.
class BritishLocale : public Locale {
 public:
  std::string ShortDate(std::chrono::year_month_day date) const override;
  std::string LongTime(std::chrono::hh_mm_ss<std::chrono::seconds> time) const override;
  std::string GroupDigits(long long value) const override;
};

}  // namespace tdwk::test
