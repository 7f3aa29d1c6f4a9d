#pragma once

#include <cstdint>
#include <optional>

namespace tdwk::desktop {

// A mouse button going down or up over the page, in the page's pixels.
struct ButtonEvent {
  bool press = true;
  unsigned button = 1;  // 1 left, 2 middle, 3 right, 8 and 9 the side buttons
  double x = 0, y = 0;  // relative to the layer's top-left corner
  bool shift = false, control = false;
  bool left = false, middle = false, right = false;  // buttons held before the event
};

// The window message a button event is to a player window.
struct ButtonMessage {
  std::uint32_t message;
  std::int32_t wParam;  // MK_* flags: the buttons and keys held once the event is done
  std::int32_t lParam;  // the position, x in the low word and y in the high word
};

// Nothing for a button that has no window message.
std::optional<ButtonMessage> ToButtonMessage(const ButtonEvent& event);

}  // namespace tdwk::desktop
