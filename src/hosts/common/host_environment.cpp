#include "hosts/common/host_environment.h"

#include <unistd.h>

#include <cstdlib>
#include <string_view>

#include "platform/clock_posix.h"
#include "platform/fixed_clock.h"

namespace tdwk {

namespace {

bool ParsePixels(std::string_view text, long& value) {
  if (text.empty() || text.size() > 6) return false;
  value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  return value > 0;
}

}  // namespace

ScreenSize ScreenFromEnvironment(std::ostream& errors) {
  ScreenSize size{1024 * kTwipsPerPixel, 768 * kTwipsPerPixel};
  const char* value = std::getenv("TDWK_SCREEN");
  if (value == nullptr) return size;
  const std::string_view text(value);
  const std::size_t x = text.find('x');
  long width = 0, height = 0;
  if (x == std::string_view::npos || !ParsePixels(text.substr(0, x), width) ||
      !ParsePixels(text.substr(x + 1), height)) {
    errors << "TDWK_SCREEN: expected WIDTHxHEIGHT in pixels, using 1024x768\n";
    return size;
  }
  return ScreenSize{static_cast<float>(width) * kTwipsPerPixel,
                    static_cast<float>(height) * kTwipsPerPixel};
}

std::unique_ptr<Clock> ClockFromEnvironment(std::ostream& errors) {
  const char* value = std::getenv("TDWK_NOW");
  if (value == nullptr) return std::make_unique<SystemClock>();
  if (const auto now = ParseLocalDateTime(value)) return std::make_unique<FixedClock>(*now);
  errors << "TDWK_NOW: expected YYYY-MM-DDTHH:MM:SS, using the real clock\n";
  return std::make_unique<SystemClock>();
}

std::string ProgramFolder() {
  std::string path(4096, '\0');
  const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
  if (length <= 0) return "./";
  path.resize(static_cast<std::size_t>(length));
  return path.substr(0, path.rfind('/') + 1);
}

std::string CommandLineText(int argc, char** argv) {
  std::string text;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) text += ' ';
    text += argv[i];
  }
  return text;
}

}  // namespace tdwk
