#pragma once

#include <string>

#include "platform/instance_lock.h"

namespace tdwk {

// A flock on the folder that holds the data: the application folder, or the folder set here.
class FlockInstanceLock : public InstanceLock {
 public:
  FlockInstanceLock() = default;
  ~FlockInstanceLock() override;
  FlockInstanceLock(const FlockInstanceLock&) = delete;
  FlockInstanceLock& operator=(const FlockInstanceLock&) = delete;
  // Locks this folder instead of the application folder (data kept elsewhere).
  void LockFolder(std::string folder) { folder_ = std::move(folder); }
  bool TryAcquire(const std::string& appPath) override;

 private:
  std::string folder_;
  int fd_ = -1;
};

}  // namespace tdwk
