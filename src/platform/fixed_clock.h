#pragma once

#include <chrono>

#include "platform/clock.h"

namespace tdwk {

// A clock that stands still until it is set.
class FixedClock : public Clock {
 public:
  explicit FixedClock(std::chrono::local_seconds now) : now_(now) {}
  std::chrono::local_seconds Now() const override { return now_; }
  void Set(std::chrono::local_seconds now) { now_ = now; }

 private:
  std::chrono::local_seconds now_;
};

}  // namespace tdwk
