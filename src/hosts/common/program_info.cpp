#include "hosts/common/program_info.h"

namespace tdwk {

std::string_view ProductVersion() {
  return TDWK_VERSION;
}

bool PrintedProgramInfo(int argc, char** argv, std::string_view usage, std::ostream& out) {
  if (argc != 2) return false;
  const std::string_view argument = argv[1];
  const std::string_view path = argv[0];
  const std::string_view program = path.substr(path.rfind('/') + 1);  // npos + 1 is 0
  if (argument == "--version") {
    out << program << " (tindlewick) " << ProductVersion() << '\n';
    return true;
  }
  if (argument == "--help") {
    out << usage;
    return true;
  }
  return false;
}

}  // namespace tdwk
