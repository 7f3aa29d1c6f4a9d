#pragma once

#include <sys/types.h>

#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace tdwk::test {

struct ConsoleRun {
  int exitStatus = -1;
  std::vector<nlohmann::json> trace;  // stdout, one object a line
  std::string output;                 // stdout as written
  std::string errors;                 // stderr

  // The trace lines with this op (and control, when given).
  std::vector<nlohmann::json> Ops(const std::string& op, const std::string& control = "") const;
  // The value of the last SetVariable of name on control; empty when never set.
  std::string LastVariable(const std::string& name, const std::string& control = "swfMain") const;
  bool HasVariable(const std::string& name, const std::string& control = "swfMain") const;
};

// The user manager's form as a variables event: every field, the given ones filled, the others
// set to `others`.
std::string Form(const std::map<std::string, std::string>& values, const std::string& others = "");

// The exit status of a child, or 128 + the signal that ended it.
int WaitForExit(pid_t child);

inline constexpr uid_t kSameAccount = static_cast<uid_t>(-1);

// Runs a program with these input lines, arguments and environment; LC_ALL defaults to C,
// XDG_DATA_HOME is unset unless given. Under another account (root only) when one is given.
ConsoleRun RunProgram(const std::string& program, const std::vector<std::string>& input,
                      const std::vector<std::string>& args = {},
                      const std::map<std::string, std::string>& environment = {},
                      uid_t account = kSameAccount);

// An application folder holding a copy of tdwk-console and the data folders.

class ConsoleApp {
 public:
  ConsoleApp();

  const std::string& Path() const { return folder_.Path(); }
  TempFolder& Folder() { return folder_; }

  // Runs the program with these input lines, arguments and environment (TDWK_SCREEN,
  // TDWK_NOW...); LC_ALL defaults to C.
  ConsoleRun Run(const std::vector<std::string>& input, const std::vector<std::string>& args = {},
                 const std::map<std::string, std::string>& environment = {}) const;

  // Starts the program with these descriptors as its standard input, output and error (the
  // caller keeps and closes its own) and returns its process id; LC_ALL defaults to C.
  pid_t Spawn(int input, int output, int errors,
              const std::map<std::string, std::string>& environment = {}) const;

 private:
  TempFolder folder_;
};

}  // namespace tdwk::test
