#pragma once

#include <string>
#include <vector>

#include "platform/file_system.h"

namespace tdwk {

// The files of an installed copy, seen through application-folder paths: the data folders
// (Users, High Scores, Logs) live in the user's own folder, and a movie in the user's folder
// (Menus, Stories, Games, Gadgets, any letter case) wins over the installed one of the same
// name. Everything else is the installed folder's. Paths already inside the user's folder are
// taken as they are.
class UserDataFileSystem : public FileSystem {
 public:
  // program is rooted at appPath, user at userFolder; both folders end in '/'.
  UserDataFileSystem(std::string appPath, FileSystem& program, std::string userFolder,
                     FileSystem& user);

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
  enum class Area { Program, Data, Movies, User };
  struct Target {
    FileSystem& files;
    std::string path;
  };
  Area AreaOf(const std::string& path) const;
  std::string InUserFolder(const std::string& path) const;
  Target ForReading(const std::string& path);
  Target ForWriting(const std::string& path);

  std::string appPath_;
  FileSystem& program_;
  std::string userFolder_;
  FileSystem& user_;
};

}  // namespace tdwk
