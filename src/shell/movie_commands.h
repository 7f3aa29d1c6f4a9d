#pragma once

#include <string>

namespace tdwk {

class Shell;

// The FSCommand handlers of the three controls that understand commands (frmTDWK).
class MovieCommands {
 public:
  explicit MovieCommands(Shell& shell) : shell_(shell) {}

  void swfMain_FSCommand(std::string command, std::string args);
  void swfBackgroundLeft_FSCommand(std::string command, std::string args);
  void swfBackgroundTop_FSCommand(std::string command, std::string args);
  // No trap of its own: a failure skips the rest of the calling handler's command.
  void navigateMenu(std::string sCommand, std::string sArgs);

 private:
  // The rows of swfMain's command table.
  void vbIntroFinished(const std::string& args);
  void vbStartApplication(const std::string& args);
  void vbLoadMovie(const std::string& args);
  void vbCheckScores(const std::string& args);
  void vbGetTimes(const std::string& args);
  void vbSaveUser(const std::string& args);
  void vbPickUser(const std::string& args);
  void vbDeleteUser(const std::string& args);
  void vbUpdateUser(const std::string& args);
  void vbRestartApp(const std::string& args);
  void QUIT(const std::string& args);
  void QUIT_USER_MANAGER(const std::string& args);
  void CLOSE(const std::string& args);
  void confirmExit(const std::string& args);

  Shell& shell_;
};

}  // namespace tdwk
