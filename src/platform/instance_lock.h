#pragma once

#include <string>

namespace tdwk {

// Detects another running copy of the program over the same application folder.
class InstanceLock {
 public:
  virtual ~InstanceLock() = default;
  // True when this process now holds the lock (kept until the object is destroyed).
  virtual bool TryAcquire(const std::string& appPath) = 0;
};

}  // namespace tdwk
