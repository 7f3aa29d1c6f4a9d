#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/flash_control.h"
#include "platform/player_windows.h"

namespace tdwk {

// A window timer: ticks every interval while enabled.
class Timer {
 public:
  virtual ~Timer() = default;
  virtual void SetEnabled(bool enabled) = 0;
  virtual bool Enabled() const = 0;
};

// What the host calls on the main window.
class WindowEvents {
 public:
  virtual ~WindowEvents() = default;
  virtual void Form_Load() = 0;
  virtual void Form_Unload() = 0;
};

// The top-level window, its child controls, timers and the message box.
class WindowHost {
 public:
  virtual ~WindowHost() = default;

  virtual float ScreenWidthTwips() const = 0;
  virtual float ScreenHeightTwips() const = 0;

  virtual void SetWindowWidth(float twips) = 0;
  virtual void SetWindowHeight(float twips) = 0;
  virtual float WindowWidth() const = 0;
  virtual float WindowHeight() const = 0;
  virtual WindowHandle MainWindowHandle() const = 0;

  // Creates a Flash control as a child of the main window; the host owns it.
  virtual FlashControl& CreateFlashControl(const std::string& name,
                                           const FlashSettings& settings) = 0;
  // Creates a disabled timer of the main window; the host owns it.
  virtual Timer& CreateTimer(const std::string& name, int intervalMs,
                             std::function<void()> onTick) = 0;

  // Modal: returns when the user has closed the box.
  virtual void MessageBox(const std::string& text) = 0;

  // Runs Form_Load, then the event loop until the window has been unloaded (which runs
  // Form_Unload) or the program ended.
  virtual void ShowModal(WindowEvents& events) = 0;
  // Unloads the window (as the tick of tmrUnload does); ShowModal then returns.
  virtual void UnloadWindow() = 0;
  // Ends the event loop at once, without running Form_Unload again.
  virtual void EndProgram() = 0;
};

}  // namespace tdwk
