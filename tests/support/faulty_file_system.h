#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace tdwk::testing {

// Passes every operation to another file system, except that the k-th operation (counting
// from 1, every kind of operation counted) fails with the given error, and with persistent
// set every later one as well, as a full disk would.
class FaultyFileSystem : public FileSystem {
 public:
  explicit FaultyFileSystem(FileSystem& inner) : inner_(inner) {}

  void FailAt(int operation, std::int32_t errorNumber, bool persistent = false) {
    failAt_ = operation;
    errorNumber_ = errorNumber;
    persistent_ = persistent;
  }
  void Heal() { failAt_ = 0; }
  int Operations() const { return count_; }
  bool Failed() const { return failed_; }
  // The operations made, by name, in order.
  const std::vector<std::string>& Journal() const { return journal_; }

  std::vector<std::string> ListFiles(const std::string& folder) override;
  bool FolderExists(const std::string& path) override;
  bool Exists(const std::string& path) override;
  void CreateFolder(const std::string& path) override;
  void DeleteFile(const std::string& path) override;
  void CopyFile(const std::string& from, const std::string& to) override;
  void RenameFile(const std::string& from, const std::string& to) override;
  void ResetAttributes(const std::string& path) override;
  std::string ReadFile(const std::string& path, std::size_t largest) override;
  void ReplaceFile(const std::string& path, const std::string& bytes) override;
  std::uint64_t AppendText(const std::string& path, const std::string& bytes) override;
  std::string Resolve(const std::string& path) override;

 private:
  void Count(const char* operation);

  FileSystem& inner_;
  int count_ = 0;
  int failAt_ = 0;
  std::int32_t errorNumber_ = 0;
  bool persistent_ = false;
  bool failed_ = false;
  std::vector<std::string> journal_;
};

}  // namespace tdwk::testing
