#include "hosts/common/user_data.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fmt/format.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "base/vb_error.h"

namespace tdwk {

namespace {

std::string WithSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

std::string HomeFolder() {
  if (const char* home = std::getenv("HOME"); home != nullptr && *home == '/') return home;
  if (const passwd* entry = ::getpwuid(::getuid()); entry != nullptr && entry->pw_dir != nullptr) {
    return entry->pw_dir;
  }
  return "/";
}

bool Writable(const std::string& folder) {
  return ::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

// Makes a private folder, or makes an existing one of ours private (a link to a folder, as a
// user who keeps the data on another disk makes, is followed). Empty on success, otherwise
// why not.
std::string MakePrivateFolder(const std::string& folder) {
  if (::mkdir(folder.c_str(), 0700) == 0) return {};
  const int made = errno;
  struct stat info {};
  if (made != EEXIST || ::stat(folder.c_str(), &info) != 0) return std::strerror(made);
  if (!S_ISDIR(info.st_mode)) return std::strerror(ENOTDIR);
  if (info.st_uid != ::geteuid()) return "it belongs to another user";
  if ((info.st_mode & 07777) != 0700 && ::chmod(folder.c_str(), 0700) != 0) {
    return std::strerror(errno);
  }
  if (!Writable(folder)) return std::strerror(EACCES);
  return {};
}

// Makes the folders above the user's folder that are missing, as the XDG rules ask (0700).
std::string MakeParents(const std::string& folder) {
  for (std::size_t at = folder.find('/', 1); at != std::string::npos && at + 1 < folder.size();
       at = folder.find('/', at + 1)) {
    const std::string parent = folder.substr(0, at);
    if (::mkdir(parent.c_str(), 0700) != 0 && errno != EEXIST) {
      return fmt::format("the folder {} cannot be created ({})", parent, std::strerror(errno));
    }
  }
  return {};
}

void CopyMissingScoreTables(const DataPlaces& places) {
  PosixFileSystem installed(places.appPath);
  PosixFileSystem mine(places.userFolder);
  const std::string from = places.appPath + "High Scores/";
  const std::string to = places.userFolder + "High Scores/";
  std::vector<std::string> tables;
  try {
    tables = installed.ListFiles(from);
  } catch (const VbError&) {
    return;  // an install without tables: the games log their missing tables
  }
  for (const std::string& name : tables) {
    try {
      if (!mine.Exists(to + name)) mine.ReplaceFile(to + name, installed.ReadFile(from + name));
    } catch (const VbError&) {
      // One unreadable table does not keep the others back; that game logs it.
    }
  }
}

}  // namespace

std::string UserFolder() {
  // Relative values are invalid and ignored.
  const char* data = std::getenv("XDG_DATA_HOME");
  const std::string base =
      data != nullptr && *data == '/' ? std::string(data) : HomeFolder() + "/.local/share";
  return WithSlash(base) + "tindlewick/";
}

DataPlaces LocateData(const std::string& programFolder) {
  DataPlaces places;
  places.appPath = WithSlash(programFolder);
  places.userFolder = UserFolder();
  struct stat info {};
  const bool marked = ::stat((places.appPath + kPerUserDataMarker).c_str(), &info) == 0;
  places.perUser = marked || !Writable(places.appPath);
  return places;
}

void PrepareUserFolder(DataPlaces& places) {
  if (!places.perUser) return;
  // Profiles hold a child's address, school and birthday: nobody else may read them.
  ::umask(077);
  std::string problem = MakeParents(places.userFolder);
  for (const char* name : {"", "Users", "High Scores", "Logs"}) {
    if (!problem.empty()) break;
    const std::string folder = places.userFolder + name;
    if (const std::string why = MakePrivateFolder(folder); !why.empty()) {
      problem = fmt::format("the folder {} cannot be used ({})", folder, why);
    }
  }
  if (!problem.empty()) {
    places.problem = fmt::format(
        "Profiles and high scores cannot be saved: {}.\r\n\r\nThe movies will play, but nothing "
        "will be kept.",
        problem);
    return;
  }
  CopyMissingScoreTables(places);
}

RunStorage::RunStorage(const std::string& programFolder, bool prepare)
    : places_(LocateData(programFolder)), program_(places_.appPath) {
  if (prepare) PrepareUserFolder(places_);
  if (places_.perUser) {
    user_.emplace(places_.userFolder);
    mapped_.emplace(places_.appPath, program_, places_.userFolder, *user_);
    lock_.LockFolder(places_.userFolder);
  }
}

FileSystem& RunStorage::Files() {
  if (mapped_) return *mapped_;
  return program_;
}

}  // namespace tdwk
