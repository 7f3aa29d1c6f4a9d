#include "shell/startup_screen.h"

#include "shell/shell.h"

namespace tdwk {

void StartupScreen::loadStartupMenu() {}

}  // namespace tdwk
