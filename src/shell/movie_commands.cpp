#include "shell/movie_commands.h"

#include <array>
#include <string_view>

#include "base/text.h"
#include "highscores/game_table.h"
#include "profiles/profile_key.h"
#include "shell/movie_catalogue.h"
#include "shell/shell.h"
#include "shell/start_mode.h"
#include "shell/trap.h"

namespace tdwk {

namespace {

struct CommandRow {
  std::string_view command;
  void (MovieCommands::*handle)(const std::string& args);
};

}  // namespace

void MovieCommands::swfMain_FSCommand(std::string command, std::string args) {
  // In the order the command is tested; the first exact match wins.
  static constexpr std::array<CommandRow, 14> kCommandTable{{
      {"vbIntroFinished", &MovieCommands::vbIntroFinished},
      {"vbStartApplication", &MovieCommands::vbStartApplication},
      {"vbLoadMovie", &MovieCommands::vbLoadMovie},
      {"vbCheckScores", &MovieCommands::vbCheckScores},
      {"vbGetTimes", &MovieCommands::vbGetTimes},
      {"vbSaveUser", &MovieCommands::vbSaveUser},
      {"vbPickUser", &MovieCommands::vbPickUser},
      {"vbDeleteUser", &MovieCommands::vbDeleteUser},
      {"vbUpdateUser", &MovieCommands::vbUpdateUser},
      {"vbRestartApp", &MovieCommands::vbRestartApp},
      {"QUIT", &MovieCommands::QUIT},
      {"QUIT_USER_MANAGER", &MovieCommands::QUIT_USER_MANAGER},
      {"CLOSE", &MovieCommands::CLOSE},
      {"confirmExit", &MovieCommands::confirmExit},
  }};
  static_assert(
      [] {
        for (std::size_t i = 0; i < kCommandTable.size(); ++i) {
          if (kCommandTable[i].command != kMovieCommandNames[i]) return false;
        }
        return kCommandTable.size() == kMovieCommandNames.size();
      }(),
      "the catalogue names the commands the table handles");
  RunTrapped(shell_.errors, kFormModule, "swfMain", [&] {
    for (const CommandRow& row : kCommandTable) {
      if (row.command == command) {
        (this->*row.handle)(args);
        return;
      }
    }
  });
}

void MovieCommands::swfBackgroundLeft_FSCommand(std::string command, std::string args) {
  RunTrapped(shell_.errors, kFormModule, "swfBackgroundLeft", [&] { navigateMenu(command, args); });
}

void MovieCommands::swfBackgroundTop_FSCommand(std::string command, std::string) {
  RunTrapped(shell_.errors, kFormModule, "swfbackgroundTop", [&] {
    if (command == "QUIT") shell_.frmTDWK.showExitConfirmation();
  });
}

void MovieCommands::navigateMenu(std::string sCommand, std::string sArgs) {
  if (sCommand != "vbLoadMovie") return;
  MainWindow& window = shell_.frmTDWK;
  const std::string& appPath = shell_.state.appPath;
  if (sArgs == "HOME") {
    window.LoadMovie(appPath + "/Menus/Home.swf", false);
    window.swfMain().SetVariable("welcomeMsg", window.WelcomeMessage());
    return;
  }
  for (const MovieRow& row : kMenuMovies) {
    if (row.key == sArgs) {
      window.LoadMovie(appPath + std::string(row.movie), true);
      return;
    }
  }
  if (sArgs == "HIGH_SCORE") shell_.highScoreScreen.ShowHighScores(appPath, "");
}

void MovieCommands::vbIntroFinished(const std::string&) {
  if (shell_.state.startMode == StartMode::UserChosen) {
    shell_.frmTDWK.showHomeMenu(false);
  } else {
    shell_.startup.loadStartupMenu();
  }
}

void MovieCommands::vbStartApplication(const std::string&) {
  shell_.frmTDWK.showHomeMenu(false);
}

void MovieCommands::vbLoadMovie(const std::string& args) {
  const std::string& appPath = shell_.state.appPath;
  for (const MovieRow& row : kStoryTable) {
    if (row.key == args) {
      shell_.frmTDWK.LoadMovie(appPath + std::string(row.movie), true);
      return;
    }
  }
  if (const GameRow* game = FindGameByLaunchKey(args)) {
    shell_.frmTDWK.LoadMovie(appPath + std::string(game->movie), true);
    return;
  }
  navigateMenu("vbLoadMovie", args);
}

void MovieCommands::vbCheckScores(const std::string& args) {
  shell_.highScores.CheckHighScore(shell_.frmTDWK.swfMain().Movie(), args);
}

void MovieCommands::vbGetTimes(const std::string&) {
  shell_.countdowns.setTimers();
}

void MovieCommands::vbSaveUser(const std::string& args) {
  shell_.profileForm.saveUserDetails(args);
  shell_.frmTDWK.swfMain().GotoFrame(1);
}

void MovieCommands::vbPickUser(const std::string& args) {
  shell_.users.setCurrentUser(args);
  shell_.frmTDWK.showHomeMenu(false);
}

void MovieCommands::vbDeleteUser(const std::string& args) {
  shell_.users.deleteUser(args);
}

void MovieCommands::vbUpdateUser(const std::string& args) {
  ShellState& state = shell_.state;
  if (ProfileKeyNumber(args)) {
    state.currentUserID = args + ".DAT";
    shell_.profiles.ReadDataFile();
  } else {
    // Ends as a profile that cannot be read, but names no file at all.
    state.currentUserID.clear();
    state.currentChild.reset();
    ReportRefusedKey(shell_.errors, kFormModule, "swfMain");
  }
  shell_.attributes.setFlashClildAttributes();
  shell_.frmTDWK.swfMain().GotoFrame(3);
}

void MovieCommands::vbRestartApp(const std::string&) {
  ShellState& state = shell_.state;
  state.startMode = DecideStartMode(shell_, false, StartMode::SelectUser);
  if (state.startMode == StartMode::UserChosen) {
    shell_.frmTDWK.showHomeMenu(false);
  } else {
    shell_.startup.loadStartupMenu();
  }
}

void MovieCommands::QUIT(const std::string&) {
  shell_.frmTDWK.showExitConfirmation();
}

void MovieCommands::QUIT_USER_MANAGER(const std::string&) {
  shell_.frmTDWK.showFinishMovie();
}

void MovieCommands::CLOSE(const std::string&) {
  shell_.frmTDWK.tmrUnload().SetEnabled(true);
}

void MovieCommands::confirmExit(const std::string& args) {
  const std::string choice = UpperCase(args);
  MainWindow& window = shell_.frmTDWK;
  if (choice == "SWAP") {
    shell_.state.startMode = StartMode::SelectUser;
    window.swfBackgroundTop().GotoFrame(0);
    window.PutMainInFullWindow();
    shell_.startup.loadStartupMenu();
  } else if (choice == "CONTINUE") {
    window.showHomeMenu(true);
  } else if (choice == "EXIT") {
    window.showFinishMovie();
  }
}

}  // namespace tdwk
