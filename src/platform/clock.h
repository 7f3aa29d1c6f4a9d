#pragma once

#include <chrono>

namespace tdwk {

// The local date and time.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual std::chrono::local_seconds Now() const = 0;
};

}  // namespace tdwk
