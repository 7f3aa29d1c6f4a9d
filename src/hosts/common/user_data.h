#pragma once

#include <optional>
#include <string>

#include "hosts/common/user_data_file_system.h"
#include "platform/file_system_posix.h"
#include "platform/instance_lock_posix.h"

namespace tdwk {

// Marks a program folder whose data lives in each user's own folder even when it is writable
// (an installed copy run by root); the install lays it beside the program.
inline constexpr const char* kPerUserDataMarker = "per-user-data";

// Where one run keeps its data and finds its movies.
struct DataPlaces {
  std::string appPath;     // the program's folder, ending in '/'
  bool perUser = false;    // data in userFolder rather than in appPath
  std::string userFolder;  // $XDG_DATA_HOME/tindlewick/ (or ~/.local/share/...), ending in '/'
  std::string problem;     // why the data cannot be written; empty when it can
};

// The user's own folder for the product, from XDG_DATA_HOME, HOME or the password database.
std::string UserFolder();

// Decides where the data lives; changes nothing.
DataPlaces LocateData(const std::string& programFolder);

// For per-user data: makes the user's folder and its data folders private (0700; everything
// the process creates from now on is private too) and copies the installed score tables that
// the user has not got yet. Sets problem when the data cannot be written.
void PrepareUserFolder(DataPlaces& places);

// The file system and the single-instance lock of one run over its places.
class RunStorage {
 public:
  // Without preparing, nothing is created or copied: the places are only looked at.
  explicit RunStorage(const std::string& programFolder, bool prepare = true);
  RunStorage(const RunStorage&) = delete;
  RunStorage& operator=(const RunStorage&) = delete;

  const DataPlaces& Places() const { return places_; }
  FileSystem& Files();
  InstanceLock& Lock() { return lock_; }
  // The folder whose movies win over the installed ones; empty when there is none.
  std::string ContentFolder() const { return places_.perUser ? places_.userFolder : ""; }

 private:
  DataPlaces places_;
  PosixFileSystem program_;
  std::optional<PosixFileSystem> user_;
  std::optional<UserDataFileSystem> mapped_;
  FlockInstanceLock lock_;
};

}  // namespace tdwk
