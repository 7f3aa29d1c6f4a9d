#include "shell/window_subclassing.h"

#include "shell/shell.h"

namespace tdwk {

void WindowSubclassing::Install() {}
void WindowSubclassing::Restore() {}
bool WindowSubclassing::EnumChildProc(WindowHandle, std::int32_t) { return true; }
std::int32_t WindowSubclassing::WindowProc(WindowHandle, std::uint32_t, std::int32_t,
                                           std::int32_t) {
  return 0;
}

}  // namespace tdwk
