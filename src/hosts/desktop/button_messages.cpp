#include "hosts/desktop/button_messages.h"

#include <cmath>

namespace tdwk::desktop {

namespace {

constexpr std::int32_t kMkLButton = 0x0001;
constexpr std::int32_t kMkRButton = 0x0002;
constexpr std::int32_t kMkShift = 0x0004;
constexpr std::int32_t kMkControl = 0x0008;
constexpr std::int32_t kMkMButton = 0x0010;
constexpr std::int32_t kMkXButton1 = 0x0020;
constexpr std::int32_t kMkXButton2 = 0x0040;

// A coordinate as the low or high word holds it: a signed 16-bit value.
std::uint32_t Word(double pixels) {
  const double clamped = std::fmax(-32768.0, std::fmin(32767.0, std::floor(pixels)));
  return static_cast<std::uint32_t>(static_cast<std::int32_t>(clamped)) & 0xFFFFu;
}

}  // namespace

std::optional<ButtonMessage> ToButtonMessage(const ButtonEvent& event) {
  std::uint32_t down = 0;
  std::int32_t flag = 0;
  std::int32_t xButton = 0;
  switch (event.button) {
    case 1:
      down = 0x0201, flag = kMkLButton;
      break;
    case 2:
      down = 0x0207, flag = kMkMButton;
      break;
    case 3:
      down = 0x0204, flag = kMkRButton;
      break;
    case 8:
      down = 0x020B, flag = kMkXButton1, xButton = 1;
      break;
    case 9:
      down = 0x020B, flag = kMkXButton2, xButton = 2;
      break;
    default:
      return std::nullopt;
  }
  std::int32_t keys = (event.left ? kMkLButton : 0) | (event.right ? kMkRButton : 0) |
                      (event.middle ? kMkMButton : 0) | (event.shift ? kMkShift : 0) |
                      (event.control ? kMkControl : 0);
  keys = event.press ? (keys | flag) : (keys & ~flag);
  ButtonMessage message;
  message.message = event.press ? down : down + 1;
  // The side buttons say which one in the high word of wParam.
  message.wParam = static_cast<std::int32_t>(static_cast<std::uint32_t>(keys) |
                                             (static_cast<std::uint32_t>(xButton) << 16));
  message.lParam = static_cast<std::int32_t>(Word(event.x) | (Word(event.y) << 16));
  return message;
}

}  // namespace tdwk::desktop
