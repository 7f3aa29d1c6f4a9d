#pragma once

#include <cstdint>
#include <string>

namespace tdwk {

class Shell;

// The one way failures are recorded: the log file and, at start-up, a message box.
class ErrorLog {
 public:
  explicit ErrorLog(Shell& shell) : shell_(shell) {}

  void ReportError(std::int32_t errorNumber, std::string errorDescription, std::string moduleName,
                   std::string procedureName, std::string userMessage);
  // Appends one entry; a failure while logging is swallowed.
  void WriteLog(std::string text);

 private:
  Shell& shell_;
};

}  // namespace tdwk
