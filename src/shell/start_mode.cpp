#include "shell/start_mode.h"

#include "base/vb_error.h"
#include "profiles/profile_key.h"
#include "shell/shell.h"

namespace tdwk {

StartMode DecideStartMode(Shell& shell, bool userManagerAsked, StartMode whenNone) {
  ShellState& state = shell.state;
  auto listed = shell.users.getUsers();
  if (listed.size() > static_cast<std::size_t>(kHighestProfileNumber)) Raise(vb::kOverflow);
  state.userCount = static_cast<std::int16_t>(listed.size());
  if (userManagerAsked) return StartMode::UserManager;
  if (state.userCount == 0) return whenNone;
  if (state.userCount > 1) return StartMode::SelectUser;
  if (!listed.front()) Raise(vb::kObjectNotSet);  // the only profile could not be read
  state.currentUserID = listed.front()->userID;
  shell.profiles.ReadDataFile();
  return StartMode::UserChosen;
}

}  // namespace tdwk
