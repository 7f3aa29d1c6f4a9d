#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/player_windows.h"
#include "profiles/child_details.h"

namespace tdwk {

enum class StartMode : std::int32_t { UserManager = 1, UserChosen = 2, SelectUser = 3 };

// One replaced player window.
class clsHWND {
 public:
  std::int32_t ReturnValue = 0;  // the window's own procedure
  WindowHandle hWnd = 0;
};

// The program-wide state, one per shell.
struct ShellState {
  std::string appPath;  // ends in one '/'
  std::int16_t userCount = 0;
  std::string currentUserID;
  StartMode startMode = StartMode::UserManager;
  std::optional<child_details> currentChild;
  // Created empty by Main; entries are only ever appended.
  std::optional<std::vector<clsHWND>> subclassedWindows;
};

}  // namespace tdwk
