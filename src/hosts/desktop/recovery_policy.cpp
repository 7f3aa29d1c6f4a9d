#include "hosts/desktop/recovery_policy.h"

namespace tdwk::desktop {

bool RecoveryPolicy::ReplayAfterPanic(const std::string& layer, const std::string& movie,
                                      Time now) {
  const std::string key = layer + '\n' + movie;
  const auto last = lastPanic_.find(key);
  const bool again = last != lastPanic_.end() && now - last->second < kSoon;
  lastPanic_[key] = now;
  return !again;
}

bool RecoveryPolicy::RestartAfterPageFailure(Time now) {
  while (!pageFailures_.empty() && now - pageFailures_.front() >= kSoon) pageFailures_.pop_front();
  pageFailures_.push_back(now);
  return pageFailures_.size() <= kPageFailuresTolerated;
}

}  // namespace tdwk::desktop
