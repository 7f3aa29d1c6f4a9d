#include "shell/window_subclassing.h"

#include <cstring>
#include <string_view>

#include "base/vb_error.h"
#include "shell/shell.h"

namespace tdwk {

namespace {
constexpr std::string_view kPlayerWindowClass = "MacromediaFlashPlayerActiveX";
constexpr int kClassNameBuffer = 256;
constexpr std::int32_t kEnumerationValue = 12;  // passed along, never used
}  // namespace

void WindowSubclassing::Install() {
  Platform& platform = shell_.platform;
  platform.playerWindows.EnumChildWindows(
      platform.window.MainWindowHandle(),
      [this](WindowHandle window, std::int32_t lParam) { return EnumChildProc(window, lParam); },
      kEnumerationValue);
}

bool WindowSubclassing::EnumChildProc(WindowHandle hWnd, std::int32_t) {
  PlayerWindows& windows = shell_.platform.playerWindows;
  char buffer[kClassNameBuffer] = {};
  if (windows.GetClassName(hWnd, buffer, kClassNameBuffer) == 0) return true;
  const std::string_view className(buffer, ::strnlen(buffer, sizeof buffer));
  if (className != kPlayerWindowClass) return true;

  auto& subclassed = shell_.state.subclassedWindows;
  if (!subclassed) Raise(vb::kObjectNotSet);
  clsHWND entry;
  entry.hWnd = hWnd;
  entry.ReturnValue = windows.GetWindowLong(hWnd, GWL_WNDPROC);
  // Recorded before the replacement, so WindowProc always finds the window it runs for.
  subclassed->push_back(entry);
  windows.SetWindowLong(hWnd, GWL_WNDPROC, ProcedureSlotValue());
  return true;
}

std::int32_t WindowSubclassing::WindowProc(WindowHandle hWnd, std::uint32_t uMsg,
                                           std::int32_t wParam, std::int32_t lParam) {
  // Runs for every message of every player window: nothing here allocates.
  if (uMsg == WM_RBUTTONDOWN) return 1;
  const auto& subclassed = shell_.state.subclassedWindows;
  if (!subclassed) return 0;
  for (const clsHWND& entry : *subclassed) {
    if (entry.hWnd != hWnd) continue;
    // Copied first: the player's procedure may re-enter the shell.
    const std::int32_t ownProcedure = entry.ReturnValue;
    return shell_.platform.playerWindows.CallWindowProc(ownProcedure, hWnd, uMsg, wParam, lParam);
  }
  return 0;
}

void WindowSubclassing::Restore() {
  auto& subclassed = shell_.state.subclassedWindows;
  if (!subclassed) Raise(vb::kObjectNotSet);
  PlayerWindows& windows = shell_.platform.playerWindows;
  // A window destroyed meanwhile refuses; the others are still restored. Entries stay.
  for (const clsHWND& entry : *subclassed) {
    windows.SetWindowLong(entry.hWnd, GWL_WNDPROC, entry.ReturnValue);
  }
}

std::int32_t WindowSubclassing::Dispatch(void* context, WindowHandle hWnd, std::uint32_t uMsg,
                                         std::int32_t wParam, std::int32_t lParam) {
  return static_cast<WindowSubclassing*>(context)->WindowProc(hWnd, uMsg, wParam, lParam);
}

std::int32_t WindowSubclassing::ProcedureSlotValue() {
  if (!procedureRegistered_) {
    procedureSlotValue_ = shell_.platform.playerWindows.RegisterProcedure(&Dispatch, this);
    procedureRegistered_ = true;
  }
  return procedureSlotValue_;
}

}  // namespace tdwk
