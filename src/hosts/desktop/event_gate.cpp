#include "hosts/desktop/event_gate.h"

#include <cstdio>
#include <exception>

namespace tdwk::desktop {

namespace {

// The shell traps its own failures; anything that still escapes an event is reported and the
// loop goes on with the next one.
void RunGuarded(const EventGate::Event& event) {
  try {
    event();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tdwk: an event failed: %s\n", e.what());
  }
}

}  // namespace

void EventGate::Run(Event event) {
  if (depth_ > 0) {
    held_.push_back(std::move(event));
    return;
  }
  ++depth_;
  RunGuarded(event);
  if (afterEach_) afterEach_();
  RunHeld();
  --depth_;
}

void EventGate::RunHeld() {
  while (!held_.empty()) {
    Event next = std::move(held_.front());
    held_.pop_front();
    RunGuarded(next);
    if (afterEach_) afterEach_();
  }
}

EventGate::Hold::Hold(EventGate& gate) : gate_(gate) {
  ++gate_.depth_;
}

EventGate::Hold::~Hold() {
  if (gate_.depth_ == 1) gate_.RunHeld();
  --gate_.depth_;
}

}  // namespace tdwk::desktop
