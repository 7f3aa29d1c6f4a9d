#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace tdwk::test {

// Files below one root folder, held in memory, behaving as the POSIX file system does: names
// match without regard to letter case, the same error numbers, nothing outside the root. Its
// folders hold files and folders only (no links, no marks); folders are never renamed.
class MemoryFileSystem : public FileSystem {
 public:
  explicit MemoryFileSystem(std::string root = "/memory/app/");

  std::vector<std::string> ListFiles(const std::string& folder) override;
  bool FolderExists(const std::string& path) override;
  bool Exists(const std::string& path) override;
  void CreateFolder(const std::string& path) override;
  void DeleteFile(const std::string& path) override;
  void RenameFile(const std::string& from, const std::string& to) override;
  void ResetAttributes(const std::string& path) override;
  std::string ReadFile(const std::string& path, std::size_t largest) override;
  void ReplaceFile(const std::string& path, const std::string& bytes) override;
  std::uint64_t AppendText(const std::string& path, const std::string& bytes) override;
  std::string Resolve(const std::string& path) override;

  // For setting up and looking past the port: paths relative to the root, exactly as stored.
  // The root with a trailing '/'.
  const std::string& Path() const { return root_; }
  // Makes the folder and those above it.
  void MakeFolder(const std::string& relative);
  // Writes the file, making the folders above it.
  void WriteFile(const std::string& relative, const std::string& bytes);
  // The file's bytes; empty when there is none.
  std::string Contents(const std::string& relative) const;
  bool Has(const std::string& relative) const;
  // Every entry by relative path: the bytes of each file, "<folder>" for each folder.
  std::map<std::string, std::string> Snapshot() const;

 private:
  struct Entry {
    bool folder = false;
    std::string bytes;
  };

  // The path relative to the root, its components checked; throws when it leaves the root.
  std::vector<std::string> Components(const std::string& path) const;
  // The stored entry of folder whose name matches; the exact name first.
  std::optional<std::string> Match(const std::string& folder, const std::string& name) const;
  // The stored path of the existing file or folder the path names ("" for the root).
  std::optional<std::string> Existing(const std::string& path) const;
  // Where a file of that path is written; Path not found when its folder is missing.
  std::string ForWriting(const std::string& path) const;
  [[noreturn]] void RaiseMissing(const std::string& path) const;
  bool IsFolder(const std::string& stored) const;
  // The regular file stored there; anything else cannot be opened as one.
  Entry& RegularFile(const std::string& stored);

  std::string root_;
  std::map<std::string, Entry> entries_;  // by stored path relative to the root
};

}  // namespace tdwk::test
