#pragma once

#include <deque>
#include <functional>

namespace tdwk::desktop {

// Runs the window's events (movie commands, timer ticks, the close request) one at a time.
// An event that arrives while another is being handled, because that handler waits for the
// page or a dialog by running the main loop, is held back and handled after it, in order.
class EventGate {
 public:
  using Event = std::function<void()>;

  // afterEach runs after every event: the calls it made go to the page then. wake asks the
  // main loop to call Drain() soon: events held back by a Hold run from there, never from
  // the Hold's destructor.
  explicit EventGate(std::function<void()> afterEach, std::function<void()> wake = nullptr)
      : afterEach_(std::move(afterEach)), wake_(std::move(wake)) {}

  void Run(Event event);
  // Runs the events held back, unless an event or a hold is still in progress.
  void Drain();
  bool Busy() const { return depth_ > 0; }

  // Holds events back for a wait outside any event (a message box before the window exists).
  class Hold {
   public:
    explicit Hold(EventGate& gate);
    ~Hold();
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;

   private:
    EventGate& gate_;
  };

 private:
  class Depth;
  void RunHeld();

  std::function<void()> afterEach_;
  std::function<void()> wake_;
  int depth_ = 0;
  std::deque<Event> held_;
};

}  // namespace tdwk::desktop
