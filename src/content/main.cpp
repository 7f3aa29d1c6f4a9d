#include <iostream>
#include <string>

#include "content/content.h"
#include "hosts/common/program_info.h"
#include "hosts/common/user_data.h"
#include "hosts/common/host_environment.h"

namespace {

constexpr const char* kUsage =
    "Usage: tdwk-content check\n"
    "       tdwk-content import FOLDER\n"
    "Looks after the movies tindlewick plays.\n"
    "\n"
    "  check          list every movie the program can load: where it comes from (theirs:\n"
    "                 your own folder; demo: the program's folder; missing), its SWF version,\n"
    "                 frame rate, stage and the commands it sends; then the score tables.\n"
    "                 Exits with 0 only when no movie is missing.\n"
    "  import FOLDER  copy the Menus, Stories, Games and Gadgets folders of a disc or an old\n"
    "                 install (names in any letter case) to where the program reads its\n"
    "                 movies: ~/.local/share/tindlewick (or $XDG_DATA_HOME/tindlewick) for an\n"
    "                 installed program, the program's own folder otherwise.\n"
    "  --help         show this text and exit\n"
    "  --version      show the version and exit\n";

}  // namespace

int main(int argc, char** argv) {
  using namespace tdwk;
  if (PrintedProgramInfo(argc, argv, kUsage, std::cout)) return 0;
  const std::string command = argc >= 2 ? argv[1] : "";
  if (command == "check" && argc == 2) {
    RunStorage storage(ProgramFolder(), false);
    return content::Check(storage, std::cout);
  }
  if (command == "import" && argc == 3) {
    RunStorage storage(ProgramFolder());
    if (!storage.Places().problem.empty()) {
      std::cerr << "tdwk-content: " << storage.Places().problem << '\n';
      return 1;
    }
    const std::string into =
        storage.Places().perUser ? storage.Places().userFolder : storage.Places().appPath;
    return content::Import(argv[2], into, std::cout, std::cerr);
  }
  std::cerr << kUsage;
  return 2;
}
