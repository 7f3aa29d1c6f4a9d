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
#include "hosts/common/player_window_table.h"
#include "hosts/common/trace.h"
#include "platform/player_windows.h"
#include "platform/window_host.h"

namespace tdwk {

class StandInPlayer;

// The window system of the console host: events come from an input stream, everything the
// shell does goes to the trace, and time passes only when the input says so.
class ConsoleHost : public WindowHost {
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
  WindowHandle MainWindowHandle() const override { return PlayerWindowTable::kMainWindow; }
  FlashControl& CreateFlashControl(const std::string& name, const FlashSettings& settings) override;
  Timer& CreateTimer(const std::string& name, int intervalMs,
                     std::function<void()> onTick) override;
  void MessageBox(const std::string& text) override;
  void ShowModal(WindowEvents& events) override;
  void UnloadWindow() override;
  void EndProgram() override;

  // The player windows of the controls, one each, created with them.
  PlayerWindowTable& playerWindows() { return windows_; }

  // Loads the window without reading input, for tests and tools that then drive the host
  // with Dispatch; ShowModal loads it and then reads its input.
  void Load(WindowEvents& events);
  // Runs one event, as the loop does.
  void Dispatch(const InputEvent& event);
  bool WindowGone() const { return unloaded_ || ended_; }
  std::int64_t NowMs() const { return nowMs_; }

 protected:
  // The player of a new control; a player that extends the stand-in may take its place.
  virtual std::unique_ptr<StandInPlayer> NewPlayer(const std::string& name,
                                                   const FlashSettings& settings);

 private:
  class ConsoleTimer;

  StandInPlayer* Player(const std::string& control);
  void AdvanceTime(std::int64_t ms);

  std::istream& input_;
  std::ostream& errors_;
  Trace& trace_;
  float screenWidth_;
  float screenHeight_;
  float windowWidth_ = 0;
  float windowHeight_ = 0;
  std::vector<std::unique_ptr<StandInPlayer>> players_;
  std::vector<std::unique_ptr<ConsoleTimer>> timers_;
  PlayerWindowTable windows_;
  WindowEvents* events_ = nullptr;
  bool unloaded_ = false;
  bool ended_ = false;
  std::int64_t nowMs_ = 0;
};

}  // namespace tdwk
