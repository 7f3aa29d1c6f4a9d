#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "platform/instance_lock_posix.h"

namespace tdwk {

FlockInstanceLock::~FlockInstanceLock() {
  if (fd_ >= 0) ::close(fd_);
}

bool FlockInstanceLock::TryAcquire(const std::string& appPath) {
  if (fd_ >= 0) return true;
  // The folder itself is locked: whoever can use the data can see the lock, under any account,
  // and nobody who cannot reach the data can hold it.
  const std::string& folder = folder_.empty() ? appPath : folder_;
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  // A folder that cannot be opened holds no data to protect: run rather than refuse.
  if (fd < 0) return true;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return false;
  }
  fd_ = fd;
  return true;
}

}  // namespace tdwk
