#include "profiles/user_directory.h"

#include <map>

#include "base/text.h"
#include "profiles/profile_key.h"
#include "shell/shell.h"
#include "shell/trap.h"

namespace tdwk {

namespace {

std::string ProfileFileName(int number) {
  return "USER" + DecimalText(number) + ".DAT";
}

}  // namespace

std::string UserListName(const child_details& child) {
  return child.firstName + " " + UpperCase(FirstCharacter(child.lastName));
}

std::vector<std::optional<child_details>> UserDirectory::getUsers() {
  closeNumberingGaps();
  std::vector<std::optional<child_details>> list;
  RunTrapped(shell_.errors, kMainModule, "getUsers", [&] {
    FileSystem& files = shell_.platform.files;
    const std::string folder = shell_.profiles.UsersFolder();
    std::vector<std::string> names;
    if (files.FolderExists(folder)) names = files.ListFiles(folder);
    if (names.empty()) {
      shell_.errors.WriteLog("The users folder '" + folder + "' does not exist.");
      return;
    }
    // The names are taken in one go, so reading a profile cannot disturb the listing.
    list.reserve(names.size());
    for (const std::string& name : names) {
      shell_.state.currentUserID = name;
      list.push_back(shell_.profiles.getUserDetails());
    }
  });
  return list;
}

void UserDirectory::closeNumberingGaps() {
  RunTrapped(shell_.errors, kMainModule, "getUsers", [&] {
    FileSystem& files = shell_.platform.files;
    const std::string folder = shell_.profiles.UsersFolder();
    if (!files.FolderExists(folder)) return;
    std::map<int, std::string> numbered;  // number -> the name as stored
    for (const std::string& name : files.ListFiles(folder)) {
      const std::optional<std::int16_t> number = ProfileFileNumber(name);
      // Two spellings of one number: which is the profile is unclear, so nothing moves.
      if (number && !numbered.emplace(*number, name).second) return;
    }
    int expected = 1;
    for (const auto& [number, name] : numbered) {
      if (number != expected) files.RenameFile(folder + name, folder + ProfileFileName(expected));
      ++expected;
    }
  });
}

void UserDirectory::setCurrentUser(std::string key) {
  ShellState& state = shell_.state;
  RunTrapped(shell_.errors, kMainModule, "setCurrentUser", [&] {
    if (!ProfileKeyNumber(key)) {
      // Ends as a profile that cannot be read, but names no file at all.
      state.currentUserID.clear();
      state.currentChild.reset();
      state.startMode = StartMode::UserChosen;
      Raise(vb::kBadFileName);
    }
    state.currentUserID = key + ".dat";
    shell_.profiles.ReadDataFile();
    state.startMode = StartMode::UserChosen;
  });
}

void UserDirectory::deleteUser(std::string key) {
  ShellState& state = shell_.state;
  RunTrapped(shell_.errors, kMainModule, "deleteUser", [&] {
    const std::optional<std::int16_t> number = ProfileKeyNumber(key);
    if (number && *number <= state.userCount) {
      removeAndRenumber(*number);
      --state.userCount;
    } else {
      // A key that names no profile changes nothing; the movie still gets the list back.
      ReportRefusedKey(shell_.errors, kMainModule, "deleteUser");
    }
    publishUserList();
    shell_.frmTDWK.swfMain().GotoFrame(1);
  });
}

void UserDirectory::removeAndRenumber(int number) {
  FileSystem& files = shell_.platform.files;
  const std::string folder = shell_.profiles.UsersFolder();
  const int last = shell_.state.userCount;
  if (number == last) {
    const std::string path = folder + ProfileFileName(number);
    if (files.Exists(path)) files.DeleteFile(path);
    return;
  }
  // Each move is one rename over the lower number: a failure leaves every file whole, and the
  // deleted profile goes only when the next one has taken its place.
  for (int i = number + 1; i <= last; ++i) {
    files.RenameFile(folder + ProfileFileName(i), folder + ProfileFileName(i - 1));
  }
}

void UserDirectory::publishUserList() {
  shell_.frmTDWK.swfMain().SetVariable("NUM_USERS", DecimalText(shell_.state.userCount));
  publishUserNames();
}

void UserDirectory::publishUserNames() {
  ShellState& state = shell_.state;
  FlashControl& main = shell_.frmTDWK.swfMain();
  for (int i = 1; i <= state.userCount; ++i) {
    state.currentUserID = ProfileFileName(i);
    const std::optional<child_details> child = shell_.profiles.getUserDetails();
    if (!child) Raise(vb::kObjectNotSet);
    main.SetVariable("USER_NAME" + DecimalText(i), UserListName(*child));
    main.SetVariable("USER_SEX" + DecimalText(i), child->sex);
  }
}

}  // namespace tdwk
