#pragma once

#include <chrono>
#include <deque>
#include <map>
#include <string>

namespace tdwk::desktop {

// Decides what the host does when a player panics or the page's process ends: restart with
// every layer's movie, but never in a loop. A movie whose player panics again soon after its
// recovery is not replayed (its layer stays empty until the shell loads another movie there);
// a page that keeps failing as a whole is not restarted.
class RecoveryPolicy {
 public:
  using Time = std::chrono::steady_clock::time_point;
  // What counts as "soon": a movie that plays this long after a recovery may panic again.
  static constexpr std::chrono::seconds kSoon{30};
  // Failures of the whole page within kSoon after which it is given up.
  static constexpr std::size_t kPageFailuresTolerated = 3;

  // The player of a layer panicked at now playing a movie: true when the movie is to be played
  // again, false when it panicked there soon after its last recovery.
  bool ReplayAfterPanic(const std::string& layer, const std::string& movie, Time now);
  // The page failed as a whole at now (its process ended, or a player that plays no layer's
  // movie panicked): true when the page is to be restarted.
  bool RestartAfterPageFailure(Time now);

 private:
  std::map<std::string, Time> lastPanic_;
  std::deque<Time> pageFailures_;
};

}  // namespace tdwk::desktop
