#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "platform/clock.h"
#include "platform/code_page.h"
#include "platform/file_system.h"
#include "platform/instance_lock.h"
#include "platform/locale.h"

#include <locale.h>  // locale_t

namespace tdwk {

// Files below one root folder (the application folder). Nothing outside the root is touched;
// symbolic links are never followed for writing.
class PosixFileSystem : public FileSystem {
 public:
  explicit PosixFileSystem(std::string root);

  std::vector<std::string> ListFiles(const std::string& folder) override;
  bool FolderExists(const std::string& path) override;
  bool Exists(const std::string& path) override;
  void CreateFolder(const std::string& path) override;
  void DeleteFile(const std::string& path) override;
  void CopyFile(const std::string& from, const std::string& to) override;
  void RenameFile(const std::string& from, const std::string& to) override;
  void ResetAttributes(const std::string& path) override;
  std::string ReadFile(const std::string& path) override;
  void ReplaceFile(const std::string& path, const std::string& bytes) override;
  void AppendText(const std::string& path, const std::string& bytes) override;
  std::string Resolve(const std::string& path) override;

 private:
  struct Target;
  // The path relative to the root, its components checked; throws when it leaves the root.
  std::string Relative(const std::string& path) const;
  // The existing file or folder the path names, letter case resolved; empty for none.
  std::string Existing(const std::string& path);
  // Where a file of that path is written: an existing name in the existing folder, or the
  // name as given. Throws Path not found when the folder is missing.
  std::string ForWriting(const std::string& path);
  // File not found, or Path not found when the folder is missing too.
  [[noreturn]] void RaiseMissing(const std::string& path);

  // Removes the temporary files a killed copy left in the folder; once per folder and run.
  void RemoveStaleTemporaries(const std::string& folder);

  std::string root_;
  std::uint64_t temporaryCounter_ = 0;
  std::set<std::string> cleanedFolders_;
};

class SystemClock : public Clock {
 public:
  std::chrono::local_seconds Now() const override;
};

class FixedClock : public Clock {
 public:
  explicit FixedClock(std::chrono::local_seconds now) : now_(now) {}
  std::chrono::local_seconds Now() const override { return now_; }
  void Set(std::chrono::local_seconds now) { now_ = now; }

 private:
  std::chrono::local_seconds now_;
};

// "YYYY-MM-DDTHH:MM:SS"; nothing for any other text or an impossible date.
std::optional<std::chrono::local_seconds> ParseLocalDateTime(std::string_view text);

// The user's locale as the C library resolves it from LC_ALL, LC_TIME, LC_NUMERIC and LANG.
class PosixLocale : public Locale {
 public:
  PosixLocale();
  ~PosixLocale() override;
  PosixLocale(const PosixLocale&) = delete;
  PosixLocale& operator=(const PosixLocale&) = delete;

  std::string ShortDate(std::chrono::year_month_day date) const override;
  std::string LongTime(std::chrono::hh_mm_ss<std::chrono::seconds> time) const override;
  std::string GroupDigits(long long value) const override;

 private:
  locale_t locale_;
  std::string dateFormat_;
  std::string timeFormat_;
  std::string thousandsSeparator_;
};

class Windows1252CodePage : public CodePage {
 public:
  Windows1252CodePage();
  std::string FromUtf8(std::string_view utf8) const override;
  std::string ToUtf8(std::string_view bytes) const override;

 private:
  char32_t toUnicode_[256];
};

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
