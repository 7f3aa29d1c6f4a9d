#include "hosts/desktop/visit_replay.h"

#include <algorithm>
#include <limits>

namespace tdwk::desktop {

VisitReplay::VisitReplay(std::vector<VisitStep> steps, Perform perform)
    : steps_(std::move(steps)), perform_(std::move(perform)) {}

VisitReplay::~VisitReplay() {
  Stop();
}

void VisitReplay::Start() {
  Stop();
  stopped_ = false;
  source_ = g_idle_add(&VisitReplay::OnDue, this);
}

void VisitReplay::Stop() {
  if (source_ != 0) g_source_remove(source_);
  source_ = 0;
  stopped_ = true;
}

gboolean VisitReplay::OnDue(gpointer self) {
  auto* replay = static_cast<VisitReplay*>(self);
  replay->source_ = 0;
  replay->RunUntilWait();
  return G_SOURCE_REMOVE;
}

void VisitReplay::RunUntilWait() {
  while (!Done()) {
    const VisitStep& step = steps_[next_++];
    const auto* event = std::get_if<InputEvent>(&step);
    if (event != nullptr && event->kind == InputEvent::Kind::Wait) {
      const auto ms = std::clamp<std::int64_t>(event->ms, 0, std::numeric_limits<guint>::max());
      source_ = g_timeout_add(static_cast<guint>(ms), &VisitReplay::OnDue, this);
      return;
    }
    if (!perform_(step)) stopped_ = true;
  }
}

}  // namespace tdwk::desktop
