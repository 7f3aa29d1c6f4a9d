#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/flash_control.h"
#include "platform/instance_lock.h"
#include "platform/locale.h"
#include "platform/player_windows.h"
#include "platform/window_host.h"

namespace tdwk::test {

// One call the shell made on a control or the window, in the order made.
struct Call {
  std::string control;
  std::string op;     // LoadMovie, SetVariable, GetVariable, Play, GotoFrame, Set, BringToFront
  std::string name;   // variable or property name
  std::string value;  // variable value, URL, or property value as text
  int frame = 0;

  std::string ToString() const;
};

using CallLog = std::vector<Call>;

class RecordingFlashControl : public FlashControl {
 public:
  RecordingFlashControl(std::string name, FlashSettings settings, CallLog& log)
      : name_(std::move(name)), settings_(std::move(settings)), log_(log) {}

  const std::string& Name() const override { return name_; }
  const FlashSettings& Settings() const override { return settings_; }
  void LoadMovie(int layer, const std::string& url) override;
  std::string Movie() const override { return movie_; }
  void SetVariable(const std::string& name, const std::string& value) override;
  std::string GetVariable(const std::string& name) override;
  void Play() override;
  void GotoFrame(int frame) override;
  void SetLeft(float twips) override;
  void SetTop(float twips) override;
  void SetWidth(float twips) override;
  void SetHeight(float twips) override;
  float Left() const override { return left_; }
  float Top() const override { return top_; }
  float Width() const override { return width_; }
  float Height() const override { return height_; }
  void BringToFront() override;
  void OnFSCommand(FSCommandHandler handler) override { handler_ = std::move(handler); }

  // The movie raises FSCommand.
  void Send(const std::string& command, const std::string& args = "");
  // The movie defines a variable, as a form field does.
  void Define(const std::string& name, const std::string& value) { variables_[name] = value; }
  void Forget(const std::string& name) { variables_.erase(name); }
  const std::map<std::string, std::string>& Variables() const { return variables_; }
  // Makes every later call of the named operation fail, as a player that rejects it would.
  void FailOn(std::string op) { failingOp_ = std::move(op); }
  bool HasHandler() const { return static_cast<bool>(handler_); }

 private:
  void Record(Call call);

  std::string name_;
  FlashSettings settings_;
  CallLog& log_;
  FSCommandHandler handler_;
  std::string movie_;
  std::map<std::string, std::string> variables_;
  std::string failingOp_;
  float left_ = 0, top_ = 0, width_ = 0, height_ = 0;
};

// The window, its timers and its player windows, all in memory; time passes on request.
class FakeWindowHost : public WindowHost, public PlayerWindows {
 public:
  explicit FakeWindowHost(CallLog& log, float screenWidth = 15360, float screenHeight = 11520);
  ~FakeWindowHost() override;

  float ScreenWidthTwips() const override { return screenWidth_; }
  float ScreenHeightTwips() const override { return screenHeight_; }
  void SetWindowWidth(float twips) override;
  void SetWindowHeight(float twips) override;
  float WindowWidth() const override { return width_; }
  float WindowHeight() const override { return height_; }
  WindowHandle MainWindowHandle() const override { return 1; }
  FlashControl& CreateFlashControl(const std::string& name, const FlashSettings& settings) override;
  Timer& CreateTimer(const std::string& name, int intervalMs,
                     std::function<void()> onTick) override;
  void MessageBox(const std::string& text) override { messageBoxes.push_back(text); }
  // Runs Form_Load and returns; the test then drives the window. Set runLoop to have it
  // run script (as the event loop) before returning.
  void ShowModal(WindowEvents& events) override;
  void UnloadWindow() override;
  void EndProgram() override { ended = true; }

  bool EnumChildWindows(WindowHandle parent, const EnumCallback& callback,
                        std::int32_t lParam) override;
  int GetClassName(WindowHandle window, char* buffer, int size) override;
  std::int32_t GetWindowLong(WindowHandle window, int index) override;
  std::int32_t SetWindowLong(WindowHandle window, int index, std::int32_t value) override;
  std::int32_t CallWindowProc(std::int32_t procedure, WindowHandle window, std::uint32_t message,
                              std::int32_t wParam, std::int32_t lParam) override;
  std::int32_t RegisterProcedure(WindowProcedure procedure, void* context) override;

  RecordingFlashControl& Control(const std::string& name);
  // Lets milliseconds pass; due timers tick.
  void Advance(int ms);
  // Adds a window of another class below the main window (before the players are created).
  void AddOtherWindow(std::string className);
  // Sends a message to the player window of a control, as the window system would; returns
  // the result and whether the player's own procedure received it.
  std::pair<std::int32_t, bool> SendMessage(const std::string& control, std::uint32_t message,
                                            std::int32_t wParam = 0, std::int32_t lParam = 0);
  std::int32_t WindowProcedureOf(const std::string& control);

  std::function<void()> script;  // what the event loop does while the window is shown
  std::vector<std::string> messageBoxes;
  bool loaded = false;
  bool unloaded = false;
  bool ended = false;
  int timeMs = 0;

 private:
  struct FakeTimer;
  struct Window {
    WindowHandle handle;
    std::string className;
    std::string control;
    std::int32_t procedure;
  };

  CallLog& log_;
  float screenWidth_, screenHeight_;
  float width_ = 0, height_ = 0;
  WindowEvents* events_ = nullptr;
  std::vector<std::unique_ptr<RecordingFlashControl>> controls_;
  std::vector<std::unique_ptr<FakeTimer>> timers_;
  std::vector<Window> windows_;
  std::vector<std::pair<WindowProcedure, void*>> procedures_;
  bool playerProcedureRan_ = false;
};

// Finds another copy running only while held is set.
class FakeInstanceLock : public InstanceLock {
 public:
  bool TryAcquire(const std::string&) override { return !held; }
  bool held = false;
};

// dd/mm/yyyy, HH:MM:SS and ',' between groups of digits, whatever the machine's locale.
class BritishLocale : public Locale {
 public:
  std::string ShortDate(std::chrono::year_month_day date) const override;
  std::string LongTime(std::chrono::hh_mm_ss<std::chrono::seconds> time) const override;
  std::string GroupDigits(long long value) const override;
};

}  // namespace tdwk::test
