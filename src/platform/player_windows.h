#pragma once

#include <cstdint>
#include <functional>

namespace tdwk {

using WindowHandle = std::uint32_t;

inline constexpr int GWL_WNDPROC = -4;
inline constexpr std::uint32_t WM_LBUTTONDOWN = 0x0201;
inline constexpr std::uint32_t WM_RBUTTONDOWN = 0x0204;
inline constexpr std::uint32_t WM_RBUTTONUP = 0x0205;

// A window procedure the shell installs: a plain function with a context pointer, so that
// dispatching a message allocates nothing.
using WindowProcedure = std::int32_t (*)(void* context, WindowHandle window, std::uint32_t message,
                                         std::int32_t wParam, std::int32_t lParam);

// The windows below the main window and their window-procedure slots. A slot holds a 32-bit
// value naming a procedure: the player's own, or one registered with RegisterProcedure.
class PlayerWindows {
 public:
  using EnumCallback = std::function<bool(WindowHandle window, std::int32_t lParam)>;

  virtual ~PlayerWindows() = default;

  // Calls the callback once for every window below parent, at any depth, until it returns false.
  virtual bool EnumChildWindows(WindowHandle parent, const EnumCallback& callback,
                                std::int32_t lParam) = 0;
  // Copies the class name (NUL-terminated, cut to size - 1) and returns the characters copied;
  // 0 on failure.
  virtual int GetClassName(WindowHandle window, char* buffer, int size) = 0;
  virtual std::int32_t GetWindowLong(WindowHandle window, int index) = 0;
  // Returns the previous value, 0 when the window does not exist.
  virtual std::int32_t SetWindowLong(WindowHandle window, int index, std::int32_t value) = 0;
  virtual std::int32_t CallWindowProc(std::int32_t procedure, WindowHandle window,
                                      std::uint32_t message, std::int32_t wParam,
                                      std::int32_t lParam) = 0;
  // Makes a procedure of the shell addressable by a slot value.
  virtual std::int32_t RegisterProcedure(WindowProcedure procedure, void* context) = 0;
};

}  // namespace tdwk
