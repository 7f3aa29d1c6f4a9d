#pragma once

#include <ostream>
#include <string_view>

namespace tdwk {

// The product's version, as the build was given it.
std::string_view ProductVersion();

// When the only argument is --help or --version: prints the usage or the version to out and
// returns true, before anything else happens. Any other arguments are the program's own.
bool PrintedProgramInfo(int argc, char** argv, std::string_view usage, std::ostream& out);

}  // namespace tdwk
