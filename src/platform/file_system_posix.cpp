#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

#include "base/ascii_case.h"
#include "base/vb_error.h"
#include "platform/file_system_posix.h"

namespace tdwk {

namespace {

[[noreturn]] void RaiseErrno(int error, bool missingMeansFolder = false) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      Raise(missingMeansFolder ? vb::kPathNotFound : vb::kFileNotFound);
    case ENOSPC:
    case EDQUOT:
      Raise(vb::kDiskFull);
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
      Raise(vb::kPermissionDenied);
    case ENAMETOOLONG:
      Raise(vb::kBadFileName);
    default:
      Raise(vb::kPathFileAccessError);
  }
}

std::vector<std::string> Components(std::string_view relative) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= relative.size()) {
    std::size_t end = relative.find('/', start);
    if (end == std::string_view::npos) end = relative.size();
    if (end > start) parts.emplace_back(relative.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

// An open folder listing, closed however the scope is left.
struct FolderCloser {
  void operator()(DIR* folder) const { ::closedir(folder); }
};
using FolderListing = std::unique_ptr<DIR, FolderCloser>;

FolderListing OpenListing(const std::string& folder) {
  return FolderListing(::opendir(folder.c_str()));
}

// The entry of folder whose name matches without regard to case; the exact name first.
std::string MatchInFolder(const std::string& folder, const std::string& name) {
  struct stat info {};
  if (::lstat((folder + name).c_str(), &info) == 0) return name;
  const FolderListing dir = OpenListing(folder);
  if (dir == nullptr) return {};
  while (const dirent* entry = ::readdir(dir.get())) {
    if (EqualIgnoringAsciiCase(entry->d_name, name)) return entry->d_name;
  }
  return {};
}

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  // Closes now, reporting a failure of the close itself.
  int Close() {
    const int result = ::close(fd_);
    fd_ = -1;
    return result;
  }

 private:
  int fd_;
};

void WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      RaiseErrno(errno);
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
}

constexpr std::string_view kTemporaryPrefix = ".tdwk-";
constexpr std::string_view kTemporarySuffix = ".tmp";

std::string FolderOf(const std::string& path) {
  return path.substr(0, path.rfind('/') + 1);
}
std::string NameOf(const std::string& path) {
  return path.substr(path.rfind('/') + 1);
}

void SyncFolder(const std::string& folder) {
  const Descriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd.get() >= 0) ::fsync(fd.get());
}

}  // namespace

PosixFileSystem::PosixFileSystem(std::string root) : root_(std::move(root)) {
  if (root_.empty() || root_.back() != '/') root_ += '/';
}

std::string PosixFileSystem::Relative(const std::string& path) const {
  if (path.compare(0, root_.size(), root_) != 0) Raise(vb::kPathFileAccessError);
  // The system calls would see only the part before a NUL: another file than the one named.
  if (path.find('\0') != std::string::npos) Raise(vb::kBadFileName);
  const std::string relative = path.substr(root_.size());
  for (const std::string& part : Components(relative)) {
    if (part == "." || part == "..") Raise(vb::kBadFileName);
  }
  return relative;
}

std::string PosixFileSystem::Existing(const std::string& path) {
  const std::vector<std::string> parts = Components(Relative(path));
  // Names are nearly always stored as the system spells them: one look-up settles that.
  std::string exact = root_;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) exact += '/';
    exact += parts[i];
  }
  struct stat info {};
  if (::lstat(exact.c_str(), &info) == 0) return exact;

  std::string resolved = root_;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const std::string name = MatchInFolder(resolved, parts[i]);
    if (name.empty()) return {};
    resolved += name;
    if (i + 1 < parts.size()) resolved += '/';
  }
  return resolved;
}

std::string PosixFileSystem::ForWriting(const std::string& path) {
  std::string folder = root_;
  const std::vector<std::string> parts = Components(Relative(path));
  if (parts.empty()) Raise(vb::kBadFileName);
  for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
    const std::string name = MatchInFolder(folder, parts[i]);
    if (name.empty()) Raise(vb::kPathNotFound);
    folder += name;
    // A folder that is a link may lead outside the application folder: never written through.
    struct stat info {};
    if (::lstat(folder.c_str(), &info) != 0) RaiseErrno(errno, true);
    if (S_ISLNK(info.st_mode)) Raise(vb::kPermissionDenied);
    if (!S_ISDIR(info.st_mode)) Raise(vb::kPathNotFound);
    folder += '/';
  }
  const std::string name = MatchInFolder(folder, parts.back());
  return folder + (name.empty() ? parts.back() : name);
}

void PosixFileSystem::RaiseMissing(const std::string& path) {
  const std::string folder = FolderOf(path);
  Raise(folder.size() <= root_.size() || !Existing(folder).empty() ? vb::kFileNotFound
                                                                   : vb::kPathNotFound);
}

std::vector<std::string> PosixFileSystem::ListFiles(const std::string& folder) {
  const std::string resolved = Existing(folder);
  if (resolved.empty()) Raise(vb::kPathNotFound);
  const FolderListing dir = OpenListing(resolved);
  if (dir == nullptr) RaiseErrno(errno, true);
  std::vector<std::string> names;
  const std::string prefix = resolved.back() == '/' ? resolved : resolved + '/';
  while (const dirent* entry = ::readdir(dir.get())) {
    if (entry->d_name[0] == '.') continue;  // hidden, "." and ".."
    bool regular = entry->d_type == DT_REG;
    if (entry->d_type == DT_UNKNOWN) {
      struct stat info {};
      regular = ::lstat((prefix + entry->d_name).c_str(), &info) == 0 && S_ISREG(info.st_mode);
    }
    if (regular) names.emplace_back(entry->d_name);
  }
  return names;
}

bool PosixFileSystem::FolderExists(const std::string& path) {
  const std::string resolved = Existing(path);
  struct stat info {};
  return !resolved.empty() && ::stat(resolved.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool PosixFileSystem::Exists(const std::string& path) {
  return !Existing(path).empty();
}

void PosixFileSystem::CreateFolder(const std::string& path) {
  std::string target = ForWriting(path);
  if (::mkdir(target.c_str(), 0755) != 0) RaiseErrno(errno, true);
}

void PosixFileSystem::DeleteFile(const std::string& path) {
  const std::string resolved = Existing(path);
  if (resolved.empty()) RaiseMissing(path);
  ForWriting(path);  // refuses a file reached through a linked folder
  if (::unlink(resolved.c_str()) != 0) RaiseErrno(errno);
}

void PosixFileSystem::RenameFile(const std::string& from, const std::string& to) {
  const std::string source = Existing(from);
  if (source.empty()) RaiseMissing(from);
  ForWriting(from);
  const std::string target = ForWriting(to);
  if (::rename(source.c_str(), target.c_str()) != 0) RaiseErrno(errno);
  SyncFolder(FolderOf(target));
}

void PosixFileSystem::ResetAttributes(const std::string& path) {
  const std::string resolved = Existing(path);
  if (resolved.empty()) RaiseMissing(path);
  struct stat info {};
  if (::lstat(resolved.c_str(), &info) != 0) RaiseErrno(errno);
  if (S_ISLNK(info.st_mode)) return;  // a link has no marks of its own to clear
  if (::chmod(resolved.c_str(), (info.st_mode & 07777) | S_IRUSR | S_IWUSR) != 0) {
    RaiseErrno(errno);
  }
}

std::string PosixFileSystem::ReadFile(const std::string& path) {
  const std::string resolved = Existing(path);
  if (resolved.empty()) RaiseMissing(path);
  Descriptor fd(::open(resolved.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
  if (fd.get() < 0) RaiseErrno(errno);
  struct stat info {};
  if (::fstat(fd.get(), &info) != 0) RaiseErrno(errno);
  if (!S_ISREG(info.st_mode)) Raise(vb::kPathFileAccessError);
  std::string bytes;
  char buffer[65536];
  for (;;) {
    const ssize_t count = ::read(fd.get(), buffer, sizeof buffer);
    if (count < 0) {
      if (errno == EINTR) continue;
      RaiseErrno(errno);
    }
    if (count == 0) break;
    bytes.append(buffer, static_cast<std::size_t>(count));
  }
  return bytes;
}

void PosixFileSystem::RemoveStaleTemporaries(const std::string& folder) {
  if (!cleanedFolders_.insert(folder).second) return;
  // One copy runs over a folder at a time and removes its own temporaries on every failure,
  // so any found now were left by a copy that was killed between creating and renaming one.
  std::vector<std::string> stale;
  {
    const FolderListing dir = OpenListing(folder);
    if (dir == nullptr) return;
    while (const dirent* entry = ::readdir(dir.get())) {
      const std::string_view name = entry->d_name;
      if (name.starts_with(kTemporaryPrefix) && name.ends_with(kTemporarySuffix)) {
        stale.emplace_back(name);
      }
    }
  }
  for (const std::string& name : stale) {
    struct stat info {};
    const std::string path = folder + name;
    if (::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)) ::unlink(path.c_str());
  }
}

void PosixFileSystem::ReplaceFile(const std::string& path, const std::string& bytes) {
  const std::string target = ForWriting(path);
  RemoveStaleTemporaries(FolderOf(target));
  const std::string temporary = FolderOf(target) + std::string(kTemporaryPrefix) + NameOf(target) +
                                "-" + std::to_string(::getpid()) + "-" +
                                std::to_string(++temporaryCounter_) + std::string(kTemporarySuffix);
  Descriptor fd(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
  if (fd.get() < 0) RaiseErrno(errno, true);
  try {
    WriteAll(fd.get(), bytes);
    if (::fsync(fd.get()) != 0) RaiseErrno(errno);
    if (fd.Close() != 0) RaiseErrno(errno);
    if (::rename(temporary.c_str(), target.c_str()) != 0) RaiseErrno(errno);
  } catch (...) {
    ::unlink(temporary.c_str());
    throw;
  }
  SyncFolder(FolderOf(target));
}

void PosixFileSystem::AppendText(const std::string& path, const std::string& bytes) {
  const std::string target = ForWriting(path);
  Descriptor fd(
      ::open(target.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644));
  if (fd.get() < 0) RaiseErrno(errno, true);
  WriteAll(fd.get(), bytes);
  if (fd.Close() != 0) RaiseErrno(errno);
}

std::string PosixFileSystem::Resolve(const std::string& path) {
  try {
    return Existing(path);
  } catch (const VbError&) {
    return {};
  }
}

}  // namespace tdwk
