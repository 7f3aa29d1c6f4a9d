#include "hosts/desktop/event_gate.h"

#include <cstdio>
#include <exception>

namespace tdwk::desktop {

namespace {

// The shell traps its own failures; anything that still escapes an event is reported and the
// loop goes on with the next one.
void RunGuarded(const std::function<void()>& step) {
  if (!step) return;
  try {
    step();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tdwk: an event failed: %s\n", e.what());
  } catch (...) {
    std::fprintf(stderr, "tdwk: an event failed\n");
  }
}

}  // namespace

// Counts one level of event or hold for as long as it lives, whatever leaves the scope.
class EventGate::Depth {
 public:
  explicit Depth(int& depth) : depth_(depth) { ++depth_; }
  ~Depth() { --depth_; }
  Depth(const Depth&) = delete;
  Depth& operator=(const Depth&) = delete;

 private:
  int& depth_;
};

void EventGate::Run(Event event) {
  if (depth_ > 0) {
    held_.push_back(std::move(event));
    return;
  }
  Depth depth(depth_);
  RunGuarded(event);
  RunGuarded(afterEach_);
  RunHeld();
}

void EventGate::Drain() {
  if (depth_ > 0 || held_.empty()) return;
  Depth depth(depth_);
  RunHeld();
}

void EventGate::RunHeld() {
  while (!held_.empty()) {
    Event next = std::move(held_.front());
    held_.pop_front();
    RunGuarded(next);
    RunGuarded(afterEach_);
  }
}

EventGate::Hold::Hold(EventGate& gate) : gate_(gate) {
  ++gate_.depth_;
}

EventGate::Hold::~Hold() {
  --gate_.depth_;
  if (gate_.depth_ == 0 && !gate_.held_.empty() && gate_.wake_) gate_.wake_();
}

}  // namespace tdwk::desktop
