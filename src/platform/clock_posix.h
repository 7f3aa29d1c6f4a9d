#pragma once

#include <chrono>
#include <optional>
#include <string_view>

#include "platform/clock.h"

namespace tdwk {

class SystemClock : public Clock {
 public:
  std::chrono::local_seconds Now() const override;
};

// "YYYY-MM-DDTHH:MM:SS"; nothing for any other text or an impossible date.
std::optional<std::chrono::local_seconds> ParseLocalDateTime(std::string_view text);

}  // namespace tdwk
