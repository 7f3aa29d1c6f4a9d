#pragma once

#include "highscores/high_score_screen.h"
#include "highscores/high_scores.h"
#include "personalisation/child_attributes.h"
#include "personalisation/countdowns.h"
#include "platform/platform.h"
#include "profiles/profile_files.h"
#include "profiles/profile_form.h"
#include "profiles/user_directory.h"
#include "shell/error_log.h"
#include "shell/main_window.h"
#include "shell/movie_commands.h"
#include "shell/shell_state.h"
#include "shell/startup_screen.h"
#include "shell/window_subclassing.h"

namespace tdwk {

// The whole program over one set of ports: the shell state and every module.
class Shell {
 public:
  explicit Shell(Platform& ports) : platform(ports) {}
  Shell(const Shell&) = delete;
  Shell& operator=(const Shell&) = delete;

  // The entry procedure: runs until the window has been unloaded. Returns the exit status:
  // 0 when the program ended normally (or another copy runs), 1 after a failure that ended it.
  int Main();

  Platform& platform;
  ShellState state;
  ErrorLog errors{*this};
  MainWindow frmTDWK{*this};
  MovieCommands commands{*this};
  StartupScreen startup{*this};
  WindowSubclassing subclassing{*this};
  ProfileFiles profiles{*this};
  UserDirectory users{*this};
  ProfileForm profileForm{*this};
  ChildAttributes attributes{*this};
  Countdowns countdowns{*this};
  HighScores highScores{*this};
  HighScoreScreen highScoreScreen{*this};

  // True when Main found another copy running and ended at once.
  bool SecondCopy() const { return secondCopy_; }

 private:
  bool secondCopy_ = false;
};

}  // namespace tdwk
