// The console host's reader of input lines: any bytes give an event or a reason, never a crash.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "hosts/common/input_event.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view line(reinterpret_cast<const char*>(data), size);
  const tdwk::ParsedLine parsed = tdwk::ParseInputLine(line);
  if (parsed.event && !parsed.error.empty()) __builtin_trap();
  if (parsed.event && parsed.event->kind != tdwk::InputEvent::Kind::Wait &&
      parsed.event->kind != tdwk::InputEvent::Kind::Close &&
      !tdwk::IsControlName(parsed.event->control)) {
    __builtin_trap();
  }
  return 0;
}
