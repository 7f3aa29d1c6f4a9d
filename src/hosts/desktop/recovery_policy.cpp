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

bool RecoveryPolicy::RestartAfterProcessEnd(Time now) {
  while (!processEnds_.empty() && now - processEnds_.front() >= kSoon) processEnds_.pop_front();
  processEnds_.push_back(now);
  return processEnds_.size() <= kProcessEndsTolerated;
}

}  // namespace tdwk::desktop
