#pragma once

#include <string>
#include <vector>

#include "platform/file_system.h"

namespace tdwk {

// Passes every operation to another file system. A wrapper that changes a few operations
// derives from it and overrides only those.
class ForwardingFileSystem : public FileSystem {
 public:
  explicit ForwardingFileSystem(FileSystem& target) : target_(target) {}

  std::vector<std::string> ListFiles(const std::string& folder) override {
    return target_.ListFiles(folder);
  }
  bool FolderExists(const std::string& path) override { return target_.FolderExists(path); }
  bool Exists(const std::string& path) override { return target_.Exists(path); }
  void CreateFolder(const std::string& path) override { target_.CreateFolder(path); }
  void DeleteFile(const std::string& path) override { target_.DeleteFile(path); }
  void RenameFile(const std::string& from, const std::string& to) override {
    target_.RenameFile(from, to);
  }
  void ResetAttributes(const std::string& path) override { target_.ResetAttributes(path); }
  std::string ReadFile(const std::string& path) override { return target_.ReadFile(path); }
  void ReplaceFile(const std::string& path, const std::string& bytes) override {
    target_.ReplaceFile(path, bytes);
  }
  void AppendText(const std::string& path, const std::string& bytes) override {
    target_.AppendText(path, bytes);
  }
  std::string Resolve(const std::string& path) override { return target_.Resolve(path); }

 protected:
  FileSystem& Target() { return target_; }

 private:
  FileSystem& target_;
};

}  // namespace tdwk
