#include "hosts/common/player_window_table.h"

#include <algorithm>
#include <cstring>

namespace tdwk {

WindowHandle PlayerWindowTable::AddPlayerWindow(const std::string& control) {
  return Add(kPlayerClass, control);
}

WindowHandle PlayerWindowTable::AddOtherWindow(const std::string& className) {
  return Add(className, "");
}

WindowHandle PlayerWindowTable::Add(const std::string& className, const std::string& control) {
  const auto index = static_cast<std::int32_t>(windows_.size());
  const WindowHandle handle = kFirstPlayerWindow + static_cast<WindowHandle>(index);
  windows_.push_back({handle, className, control, kPlayerProcedureBase + index});
  return handle;
}

WindowHandle PlayerWindowTable::PlayerWindowOf(const std::string& control) const {
  if (control.empty()) return 0;
  for (const Window& window : windows_) {
    if (window.control == control) return window.handle;
  }
  return 0;
}

PlayerWindowTable::Outcome PlayerWindowTable::Dispatch(WindowHandle window, std::uint32_t message,
                                                       std::int32_t wParam, std::int32_t lParam) {
  // Dispatches nest (a procedure may pump messages), so each keeps its own flag.
  const bool outer = delivered_;
  delivered_ = false;
  Outcome outcome;
  outcome.result =
      CallWindowProc(GetWindowLong(window, GWL_WNDPROC), window, message, wParam, lParam);
  outcome.delivered = delivered_;
  delivered_ = outer;
  return outcome;
}

bool PlayerWindowTable::EnumChildWindows(WindowHandle parent, const EnumCallback& callback,
                                         std::int32_t lParam) {
  if (parent != kMainWindow) return false;
  // A copy: the callback may add windows.
  const std::vector<Window> windows = windows_;
  for (const Window& window : windows) {
    if (!callback(window.handle, lParam)) return false;
  }
  return true;
}

int PlayerWindowTable::GetClassName(WindowHandle window, char* buffer, int size) {
  const Window* found = Find(window);
  if (found == nullptr || buffer == nullptr || size <= 0) return 0;
  const int length = std::min(static_cast<int>(found->className.size()), size - 1);
  std::memcpy(buffer, found->className.data(), static_cast<std::size_t>(length));
  buffer[length] = '\0';
  return length;
}

std::int32_t PlayerWindowTable::GetWindowLong(WindowHandle window, int index) {
  const Window* found = Find(window);
  return found != nullptr && index == GWL_WNDPROC ? found->slot : 0;
}

std::int32_t PlayerWindowTable::SetWindowLong(WindowHandle window, int index, std::int32_t value) {
  Window* found = Find(window);
  if (found == nullptr || index != GWL_WNDPROC) return 0;
  const std::int32_t previous = found->slot;
  found->slot = value;
  return previous;
}

std::int32_t PlayerWindowTable::CallWindowProc(std::int32_t procedure, WindowHandle window,
                                               std::uint32_t message, std::int32_t wParam,
                                               std::int32_t lParam) {
  const Window* target = Find(window);
  if (target != nullptr && procedure == OwnProcedure(*target)) {
    // The player's own procedure: the message goes on to the player. A player answers button
    // and other messages it handles with 0.
    delivered_ = true;
    return 0;
  }
  const std::int32_t index = procedure - kRegisteredProcedureBase;
  if (index >= 0 && index < static_cast<std::int32_t>(registered_.size())) {
    const Registered entry = registered_[static_cast<std::size_t>(index)];
    return entry.procedure(entry.context, window, message, wParam, lParam);
  }
  return 0;
}

std::int32_t PlayerWindowTable::RegisterProcedure(WindowProcedure procedure, void* context) {
  registered_.push_back({procedure, context});
  return kRegisteredProcedureBase + static_cast<std::int32_t>(registered_.size() - 1);
}

PlayerWindowTable::Window* PlayerWindowTable::Find(WindowHandle window) {
  for (Window& entry : windows_) {
    if (entry.handle == window) return &entry;
  }
  return nullptr;
}

const PlayerWindowTable::Window* PlayerWindowTable::Find(WindowHandle window) const {
  for (const Window& entry : windows_) {
    if (entry.handle == window) return &entry;
  }
  return nullptr;
}

std::int32_t PlayerWindowTable::OwnProcedure(const Window& window) const {
  return kPlayerProcedureBase + static_cast<std::int32_t>(window.handle - kFirstPlayerWindow);
}

}  // namespace tdwk
