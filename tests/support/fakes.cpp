#include "support/fakes.h"

#include <fmt/format.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <utility>

#include "platform/flash_errors.h"

namespace tdwk::test {

namespace {
constexpr std::int32_t kPlayerProcedure = 0x1000;
constexpr std::int32_t kShellProcedureBase = 0x2000;

std::string Twips(float value) {
  return fmt::format("{}", value);
}
}  // namespace

std::string Call::ToString() const {
  if (op == "SetVariable") return control + " SetVariable " + name + "=" + value;
  if (op == "GotoFrame") return control + " GotoFrame " + std::to_string(frame);
  if (op == "Set") return control + " Set " + name + "=" + value;
  if (op == "LoadMovie") return control + " LoadMovie " + value;
  if (op == "GetVariable") return control + " GetVariable " + name;
  return control + " " + op;
}

void RecordingFlashControl::Record(Call call) {
  if (call.op == failingOp_) throw VbError(vb::kInvalidProcedureCall);
  log_.push_back(std::move(call));
}

void RecordingFlashControl::LoadMovie(int, const std::string& url) {
  Record({name_, "LoadMovie", "", url});
  movie_ = url;
  variables_.clear();
}

void RecordingFlashControl::SetVariable(const std::string& name, const std::string& value) {
  Record({name_, "SetVariable", name, value});
  variables_[name] = value;
}

std::string RecordingFlashControl::GetVariable(const std::string& name) {
  Record({name_, "GetVariable", name, ""});
  const auto found = variables_.find(name);
  if (found == variables_.end()) RaiseVariableNotAnswered();
  return found->second;
}

void RecordingFlashControl::Play() {
  Record({name_, "Play"});
}

void RecordingFlashControl::GotoFrame(int frame) {
  Call call{name_, "GotoFrame"};
  call.frame = frame;
  Record(std::move(call));
}

void RecordingFlashControl::SetLeft(float twips) {
  Record({name_, "Set", "Left", Twips(twips)});
  left_ = twips;
}
void RecordingFlashControl::SetTop(float twips) {
  Record({name_, "Set", "Top", Twips(twips)});
  top_ = twips;
}
void RecordingFlashControl::SetWidth(float twips) {
  Record({name_, "Set", "Width", Twips(twips)});
  width_ = twips;
}
void RecordingFlashControl::SetHeight(float twips) {
  Record({name_, "Set", "Height", Twips(twips)});
  height_ = twips;
}
void RecordingFlashControl::BringToFront() {
  Record({name_, "BringToFront"});
}

void RecordingFlashControl::Send(const std::string& command, const std::string& args) {
  if (handler_) handler_(command, args);
}

struct FakeWindowHost::FakeTimer : Timer {
  FakeTimer(CallLog& log, std::string timerName, int interval, std::function<void()> tick)
      : log_(log), name(std::move(timerName)), intervalMs(interval), onTick(std::move(tick)) {}
  void SetEnabled(bool value) override {
    log_.push_back({name, "Set", "Enabled", value ? "true" : "false"});
    if (value && !enabled) elapsedMs = 0;
    enabled = value;
  }
  bool Enabled() const override { return enabled; }

  CallLog& log_;
  std::string name;
  int intervalMs;
  std::function<void()> onTick;
  bool enabled = false;
  int elapsedMs = 0;
};

FakeWindowHost::FakeWindowHost(CallLog& log, float screenWidth, float screenHeight)
    : log_(log), screenWidth_(screenWidth), screenHeight_(screenHeight) {}

FakeWindowHost::~FakeWindowHost() = default;

void FakeWindowHost::SetWindowWidth(float twips) {
  log_.push_back({"frmTDWK", "Set", "Width", Twips(twips)});
  width_ = twips;
}

void FakeWindowHost::SetWindowHeight(float twips) {
  log_.push_back({"frmTDWK", "Set", "Height", Twips(twips)});
  height_ = twips;
}

FlashControl& FakeWindowHost::CreateFlashControl(const std::string& name,
                                                 const FlashSettings& settings) {
  controls_.push_back(std::make_unique<RecordingFlashControl>(name, settings, log_));
  windows_.push_back(Window{static_cast<WindowHandle>(100 + windows_.size()),
                            "MacromediaFlashPlayerActiveX", name, kPlayerProcedure});
  return *controls_.back();
}

Timer& FakeWindowHost::CreateTimer(const std::string& name, int intervalMs,
                                   std::function<void()> onTick) {
  timers_.push_back(std::make_unique<FakeTimer>(log_, name, intervalMs, std::move(onTick)));
  return *timers_.back();
}

void FakeWindowHost::ShowModal(WindowEvents& events) {
  events_ = &events;
  loaded = true;
  events.Form_Load();
  if (script) script();
}

void FakeWindowHost::UnloadWindow() {
  if (unloaded || events_ == nullptr) return;
  unloaded = true;
  for (auto& timer : timers_) timer->enabled = false;
  events_->Form_Unload();
}

RecordingFlashControl& FakeWindowHost::Control(const std::string& name) {
  for (auto& control : controls_) {
    if (control->Name() == name) return *control;
  }
  throw std::out_of_range("no control " + name);
}

void FakeWindowHost::Advance(int ms) {
  for (int elapsed = 0; elapsed < ms && !unloaded; ++elapsed) {
    ++timeMs;
    for (auto& timer : timers_) {
      if (!timer->enabled) continue;
      if (++timer->elapsedMs >= timer->intervalMs) {
        timer->elapsedMs = 0;
        timer->onTick();
      }
    }
  }
}

void FakeWindowHost::AddOtherWindow(std::string className) {
  windows_.push_back(
      Window{static_cast<WindowHandle>(100 + windows_.size()), std::move(className), "", 0x999});
}

bool FakeWindowHost::EnumChildWindows(WindowHandle, const EnumCallback& callback,
                                      std::int32_t lParam) {
  for (const Window& window : windows_) {
    if (!callback(window.handle, lParam)) break;
  }
  return true;
}

int FakeWindowHost::GetClassName(WindowHandle handle, char* buffer, int size) {
  for (const Window& window : windows_) {
    if (window.handle != handle) continue;
    const int length = std::min<int>(static_cast<int>(window.className.size()), size - 1);
    std::memcpy(buffer, window.className.data(), static_cast<std::size_t>(length));
    buffer[length] = '\0';
    return length;
  }
  return 0;
}

std::int32_t FakeWindowHost::GetWindowLong(WindowHandle handle, int index) {
  for (const Window& window : windows_) {
    if (window.handle == handle && index == GWL_WNDPROC) return window.procedure;
  }
  return 0;
}

std::int32_t FakeWindowHost::SetWindowLong(WindowHandle handle, int index, std::int32_t value) {
  for (Window& window : windows_) {
    if (window.handle == handle && index == GWL_WNDPROC) {
      return std::exchange(window.procedure, value);
    }
  }
  return 0;
}

std::int32_t FakeWindowHost::CallWindowProc(std::int32_t procedure, WindowHandle window,
                                            std::uint32_t message, std::int32_t wParam,
                                            std::int32_t lParam) {
  if (procedure == kPlayerProcedure) {
    playerProcedureRan_ = true;
    return static_cast<std::int32_t>(message) + 7;  // recognisably the player's own answer
  }
  const std::int32_t index = procedure - kShellProcedureBase;
  if (index >= 0 && index < static_cast<std::int32_t>(procedures_.size())) {
    const auto& [function, context] = procedures_[static_cast<std::size_t>(index)];
    return function(context, window, message, wParam, lParam);
  }
  return 0;
}

std::int32_t FakeWindowHost::RegisterProcedure(WindowProcedure procedure, void* context) {
  procedures_.emplace_back(procedure, context);
  return kShellProcedureBase + static_cast<std::int32_t>(procedures_.size() - 1);
}

std::pair<std::int32_t, bool> FakeWindowHost::SendMessage(const std::string& control,
                                                          std::uint32_t message,
                                                          std::int32_t wParam,
                                                          std::int32_t lParam) {
  for (const Window& window : windows_) {
    if (window.control != control) continue;
    playerProcedureRan_ = false;
    const std::int32_t result =
        CallWindowProc(window.procedure, window.handle, message, wParam, lParam);
    return {result, playerProcedureRan_};
  }
  throw std::out_of_range("no player window for " + control);
}

std::int32_t FakeWindowHost::WindowProcedureOf(const std::string& control) {
  for (const Window& window : windows_) {
    if (window.control == control) return window.procedure;
  }
  throw std::out_of_range("no player window for " + control);
}

std::string BritishLocale::ShortDate(std::chrono::year_month_day date) const {
  return fmt::format("{:02}/{:02}/{:04}", unsigned(date.day()), unsigned(date.month()),
                     int(date.year()));
}

std::string BritishLocale::LongTime(std::chrono::hh_mm_ss<std::chrono::seconds> time) const {
  return fmt::format("{:02}:{:02}:{:02}", time.hours().count(), time.minutes().count(),
                     time.seconds().count());
}

std::string BritishLocale::GroupDigits(long long value) const {
  const std::string digits = std::to_string(value < 0 ? -value : value);
  std::string grouped;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) grouped += ',';
    grouped += digits[i];
  }
  return value < 0 ? "-" + grouped : grouped;
}

}  // namespace tdwk::test
