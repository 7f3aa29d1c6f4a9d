#pragma once

#include <string>
#include <vector>

namespace tdwk::test {

// A fresh folder below the system's temporary folder, removed with everything in it.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The folder's path with a trailing '/'.
  const std::string& Path() const { return path_; }

  void MakeFolder(const std::string& relative) const;
  void WriteFile(const std::string& relative, const std::string& bytes) const;
  std::string ReadFile(const std::string& relative) const;
  bool Exists(const std::string& relative) const;
  // The names of every entry of a folder below it, sorted.
  std::vector<std::string> Entries(const std::string& relative) const;

 private:
  std::string path_;
};

}  // namespace tdwk::test
