#include "support/faulty_file_system.h"

#include "shell/vb_error.h"

namespace tdwk::testing {

void FaultyFileSystem::Count(const char* operation) {
  ++count_;
  journal_.emplace_back(operation);
  if (failAt_ > 0 && (count_ == failAt_ || (persistent_ && count_ > failAt_))) {
    failed_ = true;
    Raise(errorNumber_);
  }
}

std::vector<std::string> FaultyFileSystem::ListFiles(const std::string& folder) {
  Count("ListFiles");
  return inner_.ListFiles(folder);
}
bool FaultyFileSystem::FolderExists(const std::string& path) {
  Count("FolderExists");
  return inner_.FolderExists(path);
}
bool FaultyFileSystem::Exists(const std::string& path) {
  Count("Exists");
  return inner_.Exists(path);
}
void FaultyFileSystem::CreateFolder(const std::string& path) {
  Count("CreateFolder");
  inner_.CreateFolder(path);
}
void FaultyFileSystem::DeleteFile(const std::string& path) {
  Count("DeleteFile");
  inner_.DeleteFile(path);
}
void FaultyFileSystem::CopyFile(const std::string& from, const std::string& to) {
  Count("CopyFile");
  inner_.CopyFile(from, to);
}
void FaultyFileSystem::RenameFile(const std::string& from, const std::string& to) {
  Count("RenameFile");
  inner_.RenameFile(from, to);
}
void FaultyFileSystem::ResetAttributes(const std::string& path) {
  Count("ResetAttributes");
  inner_.ResetAttributes(path);
}
std::string FaultyFileSystem::ReadFile(const std::string& path, std::size_t largest) {
  Count("ReadFile");
  return inner_.ReadFile(path, largest);
}
void FaultyFileSystem::ReplaceFile(const std::string& path, const std::string& bytes) {
  Count("ReplaceFile");
  inner_.ReplaceFile(path, bytes);
}
std::uint64_t FaultyFileSystem::AppendText(const std::string& path, const std::string& bytes) {
  Count("AppendText");
  return inner_.AppendText(path, bytes);
}
std::string FaultyFileSystem::Resolve(const std::string& path) {
  Count("Resolve");
  return inner_.Resolve(path);
}

}  // namespace tdwk::testing
