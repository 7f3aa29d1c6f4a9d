#include "hosts/desktop/visit_replay.h"

#include <algorithm>
#include <limits>

namespace tdwk::desktop {

namespace {

constexpr gint64 kAwaitUs = 60 * G_USEC_PER_SEC;
constexpr guint kAwaitPollMs = 20;

}  // namespace

VisitReplay::VisitReplay(std::vector<VisitStep> steps, Perform perform, CameAbout cameAbout)
    : steps_(std::move(steps)), perform_(std::move(perform)), cameAbout_(std::move(cameAbout)) {}

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
    const VisitStep& due = steps_[next_];
    if (std::holds_alternative<ShownStep>(due) || std::holds_alternative<RaisedStep>(due)) {
      const gint64 now = g_get_monotonic_time();
      if (deadline_ == 0) deadline_ = now + kAwaitUs;
      const bool cameAbout = cameAbout_(due);
      if (!cameAbout && now < deadline_) {
        source_ = g_timeout_add(kAwaitPollMs, &VisitReplay::OnDue, this);
        return;
      }
      if (!cameAbout) g_printerr("tdwk: visit step %zu: waited a minute in vain\n", next_ + 1);
      deadline_ = 0;
      ++next_;
      continue;
    }
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
