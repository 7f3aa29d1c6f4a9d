#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "platform/file_system.h"

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
  void RenameFile(const std::string& from, const std::string& to) override;
  void ResetAttributes(const std::string& path) override;
  std::string ReadFile(const std::string& path) override;
  void ReplaceFile(const std::string& path, const std::string& bytes) override;
  void AppendText(const std::string& path, const std::string& bytes) override;
  std::string Resolve(const std::string& path) override;

 private:
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

}  // namespace tdwk
