#include "profiles/user_directory.h"

#include "shell/shell.h"
#include "shell/trap.h"

namespace tdwk {

std::vector<std::optional<child_details>> UserDirectory::getUsers() {
  std::vector<std::optional<child_details>> list;
  RunTrapped(shell_.errors, kMainModule, "getUsers", [&] {
    FileSystem& files = shell_.platform.files;
    const std::string folder = shell_.state.appPath + "Users/";
    std::vector<std::string> names;
    if (files.FolderExists(folder)) names = files.ListFiles(folder);
    if (names.empty()) {
      shell_.errors.WriteLog("The users folder '" + folder + "' does not exist.");
      return;
    }
    for (const std::string& name : names) {
      shell_.state.currentUserID = name;
      list.push_back(shell_.profiles.getUserDetails());
    }
  });
  return list;
}

void UserDirectory::setCurrentUser(std::string) {}
void UserDirectory::deleteUser(std::string) {}
void UserDirectory::publishUserList() {}

}  // namespace tdwk
