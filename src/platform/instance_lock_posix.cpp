#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fmt/format.h>
#include <cstdint>
#include <cstdlib>

#include "platform/instance_lock_posix.h"

namespace tdwk {

namespace {

// FNV-1a: the same name for the same folder in every host and every build.
std::uint64_t FolderHash(const std::string& text) {
  std::uint64_t hash = 14695981039346656037ull;
  for (const unsigned char c : text) {
    hash ^= c;
    hash *= 1099511628211ull;
  }
  return hash;
}

std::string LockFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  struct stat info {};
  if (runtime != nullptr && *runtime == '/' && ::stat(runtime, &info) == 0 &&
      S_ISDIR(info.st_mode)) {
    return runtime;
  }
  return "/tmp";
}

}  // namespace

FlockInstanceLock::~FlockInstanceLock() {
  if (fd_ >= 0) ::close(fd_);
}

bool FlockInstanceLock::TryAcquire(const std::string& appPath) {
  if (fd_ >= 0) return true;
  const std::string path =
      fmt::format("{}/tdwk-{}-{:016x}.lock", LockFolder(), ::getuid(), FolderHash(appPath));
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  // Without a lock file nothing can tell another copy: run rather than refuse.
  if (fd < 0) return true;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return false;
  }
  fd_ = fd;
  return true;
}

}  // namespace tdwk
