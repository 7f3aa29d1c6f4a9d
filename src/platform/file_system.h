#pragma once

#include <string>
#include <vector>

namespace tdwk {

// Files below the application folder. Paths are full paths as the system builds them; names
// match without regard to letter case. Every failure throws VbError with the classic number
// (53 file not found, 76 path not found, 70 permission denied, 61 disk full, 75 other).
class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Names of the regular, non-hidden files of a folder, in the order the system lists them.
  virtual std::vector<std::string> ListFiles(const std::string& folder) = 0;
  virtual bool FolderExists(const std::string& path) = 0;
  // True for a file or a folder of that name.
  virtual bool Exists(const std::string& path) = 0;
  virtual void CreateFolder(const std::string& path) = 0;
  virtual void DeleteFile(const std::string& path) = 0;
  // Moves a file over another atomically, replacing it.
  virtual void RenameFile(const std::string& from, const std::string& to) = 0;
  // Clears read-only and similar marks.
  virtual void ResetAttributes(const std::string& path) = 0;
  virtual std::string ReadFile(const std::string& path) = 0;
  // Replaces the file atomically: a hidden temporary file in the same folder is written,
  // flushed to disk and renamed over it; on failure the old file is untouched and no
  // temporary file is left.
  virtual void ReplaceFile(const std::string& path, const std::string& bytes) = 0;
  // Appends to the file, creating it (never its folder) when missing.
  virtual void AppendText(const std::string& path, const std::string& bytes) = 0;
  // The name as stored, letter case resolved; empty when nothing matches.
  virtual std::string Resolve(const std::string& path) = 0;
};

}  // namespace tdwk
