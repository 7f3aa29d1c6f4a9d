#pragma once

#include <cstdint>

#include "platform/player_windows.h"

namespace tdwk::test {

// What the shell puts in a player window's slot: right-button presses are swallowed, the
// rest goes to the procedure the slot held before.
struct RightPressSwallow {
  PlayerWindows* windows;
  std::int32_t own;
};

inline std::int32_t SwallowRightPress(void* context, WindowHandle window, std::uint32_t message,
                                      std::int32_t wParam, std::int32_t lParam) {
  auto* swallow = static_cast<RightPressSwallow*>(context);
  if (message == WM_RBUTTONDOWN) return 1;
  return swallow->windows->CallWindowProc(swallow->own, window, message, wParam, lParam);
}

}  // namespace tdwk::test
