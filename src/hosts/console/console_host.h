#pragma once

#include <cstdint>
#include <functional>
#include <istream>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "hosts/common/input_event.h"
#include "hosts/common/trace.h"
#include "platform/player_windows.h"
#include "platform/window_host.h"

namespace tdwk {

class StandInPlayer;

// The window system of the console host: events come from an input stream, everything the
// shell does goes to the trace, and time passes only when the input says so.
class ConsoleHost : public WindowHost, public PlayerWindows {
 public:
  ConsoleHost(std::istream& input, std::ostream& errors, Trace& trace, float screenWidthTwips,
              float screenHeightTwips);
  ~ConsoleHost() override;

  // WindowHost
  float ScreenWidthTwips() const override { return screenWidth_; }
  float ScreenHeightTwips() const override { return screenHeight_; }
  void SetWindowWidth(float twips) override;
  void SetWindowHeight(float twips) override;
  float WindowWidth() const override { return windowWidth_; }
  float WindowHeight() const override { return windowHeight_; }
  WindowHandle MainWindowHandle() const override { return kMainWindow; }
  FlashControl& CreateFlashControl(const std::string& name, const FlashSettings& settings) override;
  Timer& CreateTimer(const std::string& name, int intervalMs,
                     std::function<void()> onTick) override;
  void MessageBox(const std::string& text) override;
  void ShowModal(WindowEvents& events) override;
  void UnloadWindow() override;
  void EndProgram() override;

  // PlayerWindows
  bool EnumChildWindows(WindowHandle parent, const EnumCallback& callback,
                        std::int32_t lParam) override;
  int GetClassName(WindowHandle window, char* buffer, int size) override;
  std::int32_t GetWindowLong(WindowHandle window, int index) override;
  std::int32_t SetWindowLong(WindowHandle window, int index, std::int32_t value) override;
  std::int32_t CallWindowProc(std::int32_t procedure, WindowHandle window, std::uint32_t message,
                              std::int32_t wParam, std::int32_t lParam) override;
  std::int32_t RegisterProcedure(WindowProcedure procedure, void* context) override;

  // Runs one event, as the loop does; public for tests and tools that drive the host.
  void Dispatch(const InputEvent& event);
  bool WindowGone() const { return unloaded_ || ended_; }
  std::int64_t NowMs() const { return nowMs_; }

 private:
  static constexpr WindowHandle kMainWindow = 1;
  static constexpr std::int32_t kPlayerProcedureBase = 0x10000;
  static constexpr std::int32_t kShellProcedureBase = 0x20000;

  class ConsoleTimer;
  struct PlayerWindow {
    WindowHandle handle;
    StandInPlayer* player;
    std::int32_t procedure;  // the slot
  };
  struct Procedure {
    WindowProcedure function;
    void* context;
  };

  StandInPlayer* Player(const std::string& control);
  PlayerWindow* Window(WindowHandle handle);
  void AdvanceTime(std::int64_t ms);
  void FireDueTimers();

  std::istream& input_;
  std::ostream& errors_;
  Trace& trace_;
  float screenWidth_;
  float screenHeight_;
  float windowWidth_ = 0;
  float windowHeight_ = 0;
  std::vector<std::unique_ptr<StandInPlayer>> players_;
  std::vector<std::unique_ptr<ConsoleTimer>> timers_;
  std::vector<PlayerWindow> windows_;
  std::vector<Procedure> procedures_;
  WindowEvents* events_ = nullptr;
  bool unloaded_ = false;
  bool ended_ = false;
  bool playerProcedureRan_ = false;
  std::int64_t nowMs_ = 0;
};

}  // namespace tdwk
