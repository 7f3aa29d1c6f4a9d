#pragma once

#include <glib.h>

#include <functional>
#include <vector>

#include "hosts/desktop/visit_script.h"

namespace tdwk::desktop {

// Replays a visit on the GLib main loop: steps run in order, a wait step lets that many real
// milliseconds pass before the next, a shown or raised step holds the visit until the host
// says it has come about (at most a minute). The steps themselves are the host's to perform;
// the visit ends early when perform answers false (the window is gone).
class VisitReplay {
 public:
  using Perform = std::function<bool(const VisitStep& step)>;
  using CameAbout = std::function<bool(const VisitStep& step)>;

  VisitReplay(std::vector<VisitStep> steps, Perform perform, CameAbout cameAbout);
  ~VisitReplay();
  VisitReplay(const VisitReplay&) = delete;
  VisitReplay& operator=(const VisitReplay&) = delete;

  // Starts with the first step once the main loop runs.
  void Start();
  void Stop();
  bool Done() const { return stopped_ || next_ >= steps_.size(); }

 private:
  static gboolean OnDue(gpointer self);
  void RunUntilWait();

  std::vector<VisitStep> steps_;
  Perform perform_;
  CameAbout cameAbout_;
  std::size_t next_ = 0;
  gint64 deadline_ = 0;  // of the awaited step, on the monotonic clock; 0 when not waiting
  guint source_ = 0;
  bool stopped_ = false;
};

}  // namespace tdwk::desktop
