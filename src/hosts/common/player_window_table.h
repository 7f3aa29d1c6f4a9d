#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/player_windows.h"

namespace tdwk {

// The window below the main window that each layer's player draws in, with its procedure
// slot. The players do not use real windows here; what the slot decides is which button
// presses the page's players receive.
class PlayerWindowTable : public PlayerWindows {
 public:
  static constexpr WindowHandle kMainWindow = 1;
  static constexpr const char* kPlayerClass = "MacromediaFlashPlayerActiveX";

  // What a message dispatched to a player window came to.
  struct Outcome {
    bool delivered = false;  // the player's own procedure received it
    std::int32_t result = 0;
  };

  // Adds the player window of a layer; returns its handle.
  WindowHandle AddPlayerWindow(const std::string& control);
  // Adds a window of another class below the main window, one the shell must leave alone.
  WindowHandle AddOtherWindow(const std::string& className);
  // The player window of a layer, 0 when there is none.
  WindowHandle PlayerWindowOf(const std::string& control) const;

  // Sends a message to a player window through whatever procedure its slot holds now.
  Outcome Dispatch(WindowHandle window, std::uint32_t message, std::int32_t wParam,
                   std::int32_t lParam);

  bool EnumChildWindows(WindowHandle parent, const EnumCallback& callback,
                        std::int32_t lParam) override;
  int GetClassName(WindowHandle window, char* buffer, int size) override;
  std::int32_t GetWindowLong(WindowHandle window, int index) override;
  std::int32_t SetWindowLong(WindowHandle window, int index, std::int32_t value) override;
  std::int32_t CallWindowProc(std::int32_t procedure, WindowHandle window, std::uint32_t message,
                              std::int32_t wParam, std::int32_t lParam) override;
  std::int32_t RegisterProcedure(WindowProcedure procedure, void* context) override;

 private:
  static constexpr std::int32_t kPlayerProcedureBase = 0x10000;
  static constexpr std::int32_t kRegisteredProcedureBase = 0x20000;
  static constexpr WindowHandle kFirstPlayerWindow = 0x100;

  struct Window {
    WindowHandle handle;
    std::string className;
    std::string control;  // empty for a window of another class
    std::int32_t slot;    // the player's own procedure until the shell replaces it
  };
  struct Registered {
    WindowProcedure procedure;
    void* context;
  };

  Window* Find(WindowHandle window);
  const Window* Find(WindowHandle window) const;
  std::int32_t OwnProcedure(const Window& window) const;
  WindowHandle Add(const std::string& className, const std::string& control);

  std::vector<Window> windows_;
  std::vector<Registered> registered_;
  // Set by a player's own procedure while a message is dispatched.
  bool delivered_ = false;
};

}  // namespace tdwk
