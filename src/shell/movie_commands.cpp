#include "shell/movie_commands.h"

#include "shell/shell.h"

namespace tdwk {

void MovieCommands::swfMain_FSCommand(std::string, std::string) {}
void MovieCommands::swfBackgroundLeft_FSCommand(std::string, std::string) {}
void MovieCommands::swfBackgroundTop_FSCommand(std::string, std::string) {}
void MovieCommands::navigateMenu(std::string, std::string) {}

}  // namespace tdwk
