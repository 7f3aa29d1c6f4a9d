#include "shell/shell.h"

#include "shell/trap.h"

namespace tdwk {

int Shell::Main() {
  std::string folder = platform.programFolder;
  if (folder.empty() || folder.back() != '/') folder += '/';

  const bool completed = RunTrapped(
      errors, kMainModule, "Main",
      [&] {
        if (!platform.instanceLock.TryAcquire(folder)) {
          secondCopy_ = true;
          return;
        }
        state.appPath = folder;
        state.subclassedWindows.emplace();

        auto listed = users.getUsers();
        if (listed.size() > 32767) Raise(vb::kOverflow);
        state.userCount = static_cast<std::int16_t>(listed.size());

        if (platform.commandLine == "USER_MANAGER") {
          state.startMode = StartMode::UserManager;
        } else if (state.userCount == 0) {
          state.startMode = StartMode::UserManager;
        } else if (state.userCount == 1) {
          if (!listed.front()) Raise(vb::kObjectNotSet);  // the only profile could not be read
          state.currentUserID = listed.front()->userID;
          profiles.ReadDataFile();
          state.startMode = StartMode::UserChosen;
        } else {
          state.startMode = StartMode::SelectUser;
        }
        listed.clear();

        frmTDWK.Create();
        platform.window.ShowModal(frmTDWK);
      },
      "There was a problem showing the main screen.");

  if (!completed || frmTDWK.UnloadFailed()) return 1;
  return 0;
}

}  // namespace tdwk
