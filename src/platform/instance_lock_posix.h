#pragma once

#include <string>

#include "platform/instance_lock.h"

namespace tdwk {

// A flock on a file named after the user and the application folder, in $XDG_RUNTIME_DIR
// (or /tmp).
class FlockInstanceLock : public InstanceLock {
 public:
  FlockInstanceLock() = default;
  ~FlockInstanceLock() override;
  FlockInstanceLock(const FlockInstanceLock&) = delete;
  FlockInstanceLock& operator=(const FlockInstanceLock&) = delete;
  bool TryAcquire(const std::string& appPath) override;

 private:
  int fd_ = -1;
};

}  // namespace tdwk
