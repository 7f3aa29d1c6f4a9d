#pragma once

#include <string>

namespace tdwk {

class Shell;

// The FSCommand handlers of the three controls that understand commands.
class MovieCommands {
 public:
  explicit MovieCommands(Shell& shell) : shell_(shell) {}

  void swfMain_FSCommand(std::string command, std::string args);
  void swfBackgroundLeft_FSCommand(std::string command, std::string args);
  void swfBackgroundTop_FSCommand(std::string command, std::string args);
  void navigateMenu(std::string sCommand, std::string sArgs);

 private:
  Shell& shell_;
};

}  // namespace tdwk
