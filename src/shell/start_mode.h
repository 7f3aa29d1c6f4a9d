#pragma once

#include "shell/shell_state.h"

namespace tdwk {

class Shell;

// How the shell starts over the profiles there are now, counted into the state (Overflow
// past the highest profile number): the user manager when it was asked for, the only
// profile's child (its data file read) when there is one, the user selection when there are
// several, and whenNone when there are none.
StartMode DecideStartMode(Shell& shell, bool userManagerAsked, StartMode whenNone);

}  // namespace tdwk
