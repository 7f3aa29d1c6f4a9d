#include "shell/startup_screen.h"

#include "base/text.h"
#include "shell/shell.h"
#include "shell/trap.h"

namespace tdwk {

void StartupScreen::loadStartupMenu() {
  RunTrapped(shell_.errors, kMainModule, "loadStartupMenu", [&] {
    const ShellState& state = shell_.state;
    shell_.frmTDWK.Create();
    FlashControl& main = shell_.frmTDWK.swfMain();
    // Always reloaded, and without the child's details.
    main.LoadMovie(0, state.appPath + "/Menus/Startup.swf");
    main.SetVariable("NUM_USERS", DecimalText(state.userCount));
    if (state.startMode == StartMode::SelectUser) {
      main.SetVariable("ACTION_TYPE", "SELECT");
      main.SetVariable("SELECT_MESSAGE",
                       "Please select your name from the right hand side of the screen.");
    } else {
      main.SetVariable("ACTION_TYPE", "USER_MANAGER");
    }
    shell_.users.publishUserNames();
    main.Play();
  });
}

}  // namespace tdwk
