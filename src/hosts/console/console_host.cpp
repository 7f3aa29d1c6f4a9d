#include "hosts/console/console_host.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "hosts/console/stand_in_player.h"

namespace tdwk {

namespace {

// Host time never wraps: a time past the last one is the last one, and a timer due then
// never fires.
constexpr std::int64_t kEndOfTime = std::numeric_limits<std::int64_t>::max();
std::int64_t Later(std::int64_t ms, std::int64_t by) {
  return by > kEndOfTime - ms ? kEndOfTime : ms + by;
}
}  // namespace

class ConsoleHost::ConsoleTimer : public Timer {
 public:
  ConsoleTimer(ConsoleHost& host, std::string name, int intervalMs, std::function<void()> onTick)
      : host_(host), name_(std::move(name)), intervalMs_(intervalMs), onTick_(std::move(onTick)) {}

  void SetEnabled(bool enabled) override {
    host_.trace_.SetFlag(name_, "Enabled", enabled);
    // Enabling a running timer leaves its schedule alone.
    if (enabled && !enabled_) dueMs_ = Later(host_.nowMs_, intervalMs_);
    enabled_ = enabled;
  }
  bool Enabled() const override { return enabled_; }
  // The window is gone: its timers stop with it.
  void Stop() { enabled_ = false; }

  std::int64_t DueMs() const { return dueMs_; }
  void Tick() {
    dueMs_ = Later(dueMs_, intervalMs_);
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
  players_.push_back(NewPlayer(name, settings));
  windows_.AddPlayerWindow(name);
  return *players_.back();
}

std::unique_ptr<StandInPlayer> ConsoleHost::NewPlayer(const std::string& name,
                                                      const FlashSettings& settings) {
  return std::make_unique<StandInPlayer>(name, settings, trace_);
}

Timer& ConsoleHost::CreateTimer(const std::string& name, int intervalMs,
                                std::function<void()> onTick) {
  timers_.push_back(std::make_unique<ConsoleTimer>(*this, name, intervalMs, std::move(onTick)));
  return *timers_.back();
}

void ConsoleHost::MessageBox(const std::string& text) {
  trace_.MessageBox(text);
}

void ConsoleHost::Load(WindowEvents& events) {
  events_ = &events;
  events.Form_Load();
}

void ConsoleHost::ShowModal(WindowEvents& events) {
  Load(events);
  std::string line;
  long lineNumber = 0;
  while (!WindowGone()) {
    // The driver sees all that was done before the program waits for its next line; a line
    // already read ahead is handled first, sparing a write for every line of a long script.
    if (input_.rdbuf()->in_avail() <= 0) trace_.Flush();
    if (!std::getline(input_, line)) break;
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
      if (const WindowHandle window = windows_.PlayerWindowOf(event.control)) {
        const PlayerWindowTable::Outcome outcome = windows_.Dispatch(window, event.message, 0, 0);
        trace_.Message(event.control, event.message, outcome.delivered, outcome.result);
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

void ConsoleHost::AdvanceTime(std::int64_t ms) {
  const std::int64_t until = Later(nowMs_, ms);
  for (;;) {
    ConsoleTimer* next = nullptr;
    for (auto& timer : timers_) {
      if (timer->Enabled() && timer->DueMs() <= until && timer->DueMs() < kEndOfTime &&
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

}  // namespace tdwk
