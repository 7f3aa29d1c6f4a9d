#include "shell/shell.h"

#include "shell/start_mode.h"
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

        state.startMode =
            DecideStartMode(*this, platform.commandLine == "USER_MANAGER", StartMode::UserManager);
        frmTDWK.Create();
        platform.window.ShowModal(frmTDWK);
      },
      "There was a problem showing the main screen.");

  if (!completed || frmTDWK.UnloadFailed()) return 1;
  return 0;
}

}  // namespace tdwk
