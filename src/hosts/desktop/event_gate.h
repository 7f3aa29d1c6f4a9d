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

  // afterEach runs after every event: the calls it made go to the page then.
  explicit EventGate(std::function<void()> afterEach) : afterEach_(std::move(afterEach)) {}

  void Run(Event event);
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
  void RunHeld();

  std::function<void()> afterEach_;
  int depth_ = 0;
  std::deque<Event> held_;
};

}  // namespace tdwk::desktop
