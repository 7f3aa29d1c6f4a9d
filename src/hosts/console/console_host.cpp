#include "hosts/console/console_host.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "hosts/console/stand_in_player.h"

namespace tdwk {

namespace {
constexpr char kPlayerWindowClass[] = "MacromediaFlashPlayerActiveX";
}

class ConsoleHost::ConsoleTimer : public Timer {
 public:
  ConsoleTimer(ConsoleHost& host, std::string name, int intervalMs, std::function<void()> onTick)
      : host_(host), name_(std::move(name)), intervalMs_(intervalMs), onTick_(std::move(onTick)) {}

  void SetEnabled(bool enabled) override {
    host_.trace_.SetFlag(name_, "Enabled", enabled);
    // Enabling a running timer leaves its schedule alone.
    if (enabled && !enabled_) dueMs_ = host_.nowMs_ + intervalMs_;
    enabled_ = enabled;
  }
  bool Enabled() const override { return enabled_; }
  // The window is gone: its timers stop with it.
  void Stop() { enabled_ = false; }

  std::int64_t DueMs() const { return dueMs_; }
  void Tick() {
    dueMs_ += intervalMs_;
    onTick_();
  }

 private:
  ConsoleHost& host_;
  std::string name_;
  std::int64_t intervalMs_;
  std::function<void()> onTick_;
  bool enabled_ = false;
  std::int64_t dueMs_ = 0;
};

ConsoleHost::ConsoleHost(std::istream& input, std::ostream& errors, Trace& trace,
                         float screenWidthTwips, float screenHeightTwips)
    : input_(input),
      errors_(errors),
      trace_(trace),
      screenWidth_(screenWidthTwips),
      screenHeight_(screenHeightTwips) {}

ConsoleHost::~ConsoleHost() = default;

void ConsoleHost::SetWindowWidth(float twips) {
  trace_.SetNumber("frmTDWK", "Width", twips);
  windowWidth_ = twips;
}

void ConsoleHost::SetWindowHeight(float twips) {
  trace_.SetNumber("frmTDWK", "Height", twips);
  windowHeight_ = twips;
}

FlashControl& ConsoleHost::CreateFlashControl(const std::string& name,
                                              const FlashSettings& settings) {
  players_.push_back(std::make_unique<StandInPlayer>(name, settings, trace_));
  const auto index = static_cast<std::int32_t>(players_.size());
  // Each control owns one player window, created with it.
  windows_.push_back(PlayerWindow{kMainWindow + static_cast<WindowHandle>(index),
                                  players_.back().get(), kPlayerProcedureBase + index});
  return *players_.back();
}

Timer& ConsoleHost::CreateTimer(const std::string& name, int intervalMs,
                                std::function<void()> onTick) {
  timers_.push_back(std::make_unique<ConsoleTimer>(*this, name, intervalMs, std::move(onTick)));
  return *timers_.back();
}

void ConsoleHost::MessageBox(const std::string& text) {
  trace_.MessageBox(text);
}

void ConsoleHost::ShowModal(WindowEvents& events) {
  events_ = &events;
  events.Form_Load();
  std::string line;
  long lineNumber = 0;
  while (!WindowGone() && std::getline(input_, line)) {
    ++lineNumber;
    const ParsedLine parsed = ParseInputLine(line);
    if (!parsed.error.empty()) {
      errors_ << "line " << lineNumber << ": " << parsed.error << '\n';
      continue;
    }
    if (parsed.event) Dispatch(*parsed.event);
  }
  if (WindowGone()) return;
  // The input has ended: a pending close still happens; otherwise the window is closed.
  const auto unloadTimer =
      std::find_if(timers_.begin(), timers_.end(), [](const auto& t) { return t->Enabled(); });
  while (!WindowGone() && unloadTimer != timers_.end() && (*unloadTimer)->Enabled()) {
    AdvanceTime(std::max<std::int64_t>(0, (*unloadTimer)->DueMs() - nowMs_));
  }
  if (!WindowGone()) UnloadWindow();
}

void ConsoleHost::UnloadWindow() {
  if (WindowGone() || events_ == nullptr) return;
  unloaded_ = true;
  for (auto& timer : timers_) timer->Stop();
  events_->Form_Unload();
  if (!ended_) trace_.Unload();
}

void ConsoleHost::EndProgram() {
  ended_ = true;
}

void ConsoleHost::Dispatch(const InputEvent& event) {
  switch (event.kind) {
    case InputEvent::Kind::FSCommand:
      if (StandInPlayer* player = Player(event.control)) {
        player->RaiseFSCommand(event.command, event.args);
      }
      break;
    case InputEvent::Kind::Variables:
      if (StandInPlayer* player = Player(event.control)) {
        for (const auto& [name, value] : event.values) player->DefineVariable(name, value);
      }
      break;
    case InputEvent::Kind::Message:
      for (const PlayerWindow& window : windows_) {
        if (window.player->Name() != event.control) continue;
        playerProcedureRan_ = false;
        const std::int32_t result =
            CallWindowProc(window.procedure, window.handle, event.message, 0, 0);
        trace_.Message(event.control, event.message, playerProcedureRan_, result);
        break;
      }
      break;
    case InputEvent::Kind::Wait:
      AdvanceTime(event.ms);
      break;
    case InputEvent::Kind::Close:
      UnloadWindow();
      break;
  }
}

StandInPlayer* ConsoleHost::Player(const std::string& control) {
  for (auto& player : players_) {
    if (player->Name() == control) return player.get();
  }
  return nullptr;
}

ConsoleHost::PlayerWindow* ConsoleHost::Window(WindowHandle handle) {
  for (PlayerWindow& window : windows_) {
    if (window.handle == handle) return &window;
  }
  return nullptr;
}

void ConsoleHost::AdvanceTime(std::int64_t ms) {
  const std::int64_t until = nowMs_ + ms;
  for (;;) {
    ConsoleTimer* next = nullptr;
    for (auto& timer : timers_) {
      if (timer->Enabled() && timer->DueMs() <= until &&
          (!next || timer->DueMs() < next->DueMs())) {
        next = timer.get();
      }
    }
    if (next == nullptr || WindowGone()) break;
    nowMs_ = std::max(nowMs_, next->DueMs());
    next->Tick();
  }
  if (!WindowGone()) nowMs_ = until;
}

bool ConsoleHost::EnumChildWindows(WindowHandle parent, const EnumCallback& callback,
                                   std::int32_t lParam) {
  if (parent != kMainWindow) return false;
  for (std::size_t i = 0; i < windows_.size(); ++i) {
    if (!callback(windows_[i].handle, lParam)) break;
  }
  return true;
}

int ConsoleHost::GetClassName(WindowHandle window, char* buffer, int size) {
  if (Window(window) == nullptr || buffer == nullptr || size <= 0) return 0;
  const int length = std::min<int>(static_cast<int>(std::strlen(kPlayerWindowClass)), size - 1);
  std::memcpy(buffer, kPlayerWindowClass, static_cast<std::size_t>(length));
  buffer[length] = '\0';
  return length;
}

std::int32_t ConsoleHost::GetWindowLong(WindowHandle window, int index) {
  const PlayerWindow* found = Window(window);
  return found != nullptr && index == GWL_WNDPROC ? found->procedure : 0;
}

std::int32_t ConsoleHost::SetWindowLong(WindowHandle window, int index, std::int32_t value) {
  PlayerWindow* found = Window(window);
  if (found == nullptr || index != GWL_WNDPROC) return 0;
  return std::exchange(found->procedure, value);
}

std::int32_t ConsoleHost::CallWindowProc(std::int32_t procedure, WindowHandle window,
                                         std::uint32_t message, std::int32_t wParam,
                                         std::int32_t lParam) {
  if (procedure > kPlayerProcedureBase &&
      procedure <= kPlayerProcedureBase + static_cast<std::int32_t>(windows_.size())) {
    playerProcedureRan_ = true;  // the stand-in player handles every message with 0
    return 0;
  }
  const std::int32_t index = procedure - kShellProcedureBase;
  if (index >= 0 && index < static_cast<std::int32_t>(procedures_.size())) {
    const Procedure& shellProcedure = procedures_[static_cast<std::size_t>(index)];
    return shellProcedure.function(shellProcedure.context, window, message, wParam, lParam);
  }
  return 0;
}

std::int32_t ConsoleHost::RegisterProcedure(WindowProcedure procedure, void* context) {
  procedures_.push_back(Procedure{procedure, context});
  return kShellProcedureBase + static_cast<std::int32_t>(procedures_.size() - 1);
}

}  // namespace tdwk
