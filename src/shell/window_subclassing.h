#pragma once

#include <cstdint>

#include "platform/player_windows.h"

namespace tdwk {

class Shell;

// Keeps right-button presses away from the Flash players.
class WindowSubclassing {
 public:
  explicit WindowSubclassing(Shell& shell) : shell_(shell) {}

  // Replaces the window procedure of every player window below the main window.
  void Install();
  // Gives every recorded window its own procedure back.
  void Restore();

  bool EnumChildProc(WindowHandle hWnd, std::int32_t lParam);
  std::int32_t WindowProc(WindowHandle hWnd, std::uint32_t uMsg, std::int32_t wParam,
                          std::int32_t lParam);

 private:
  // What the window system calls: forwards to WindowProc of the context.
  static std::int32_t Dispatch(void* context, WindowHandle hWnd, std::uint32_t uMsg,
                               std::int32_t wParam, std::int32_t lParam);
  // The slot value naming WindowProc, registered on first use.
  std::int32_t ProcedureSlotValue();

  Shell& shell_;
  std::int32_t procedureSlotValue_ = 0;
  bool procedureRegistered_ = false;
};

}  // namespace tdwk
