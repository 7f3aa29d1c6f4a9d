#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/forwarding_file_system.h"

namespace tdwk::test {

// Passes every operation on after showing it to Before, which may record it or throw to make
// it fail. A two-path operation shows "from -> to".
class ObservedFileSystem : public ForwardingFileSystem {
 public:
  using ForwardingFileSystem::ForwardingFileSystem;

  std::vector<std::string> ListFiles(const std::string& folder) override {
    Before("ListFiles", folder);
    return ForwardingFileSystem::ListFiles(folder);
  }
  bool FolderExists(const std::string& path) override {
    Before("FolderExists", path);
    return ForwardingFileSystem::FolderExists(path);
  }
  bool Exists(const std::string& path) override {
    Before("Exists", path);
    return ForwardingFileSystem::Exists(path);
  }
  void CreateFolder(const std::string& path) override {
    Before("CreateFolder", path);
    ForwardingFileSystem::CreateFolder(path);
  }
  void DeleteFile(const std::string& path) override {
    Before("DeleteFile", path);
    ForwardingFileSystem::DeleteFile(path);
  }
  void RenameFile(const std::string& from, const std::string& to) override {
    Before("RenameFile", from + " -> " + to);
    ForwardingFileSystem::RenameFile(from, to);
  }
  void ResetAttributes(const std::string& path) override {
    Before("ResetAttributes", path);
    ForwardingFileSystem::ResetAttributes(path);
  }
  std::string ReadFile(const std::string& path) override {
    Before("ReadFile", path);
    return ForwardingFileSystem::ReadFile(path);
  }
  void ReplaceFile(const std::string& path, const std::string& bytes) override {
    Before("ReplaceFile", path);
    ForwardingFileSystem::ReplaceFile(path, bytes);
  }
  void AppendText(const std::string& path, const std::string& bytes) override {
    Before("AppendText", path);
    ForwardingFileSystem::AppendText(path, bytes);
  }
  std::string Resolve(const std::string& path) override {
    Before("Resolve", path);
    return ForwardingFileSystem::Resolve(path);
  }

 protected:
  virtual void Before(std::string_view operation, const std::string& path) = 0;
};

}  // namespace tdwk::test
