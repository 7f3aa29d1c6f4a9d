#pragma once

#include <cstdint>
#include <string>

namespace tdwk {

class Shell;

// Past this size the log is renamed to the one previous log and a new one is begun, so a movie
// that fails without end can never fill the disk.
inline constexpr std::uint64_t kLogRotationSize = 1U << 20;

// The one way failures are recorded: the log file and, at start-up, a message box.
class ErrorLog {
 public:
  explicit ErrorLog(Shell& shell) : shell_(shell) {}

  void ReportError(std::int32_t errorNumber, std::string errorDescription, std::string moduleName,
                   std::string procedureName, std::string userMessage);
  // Appends one entry; a failure while logging is swallowed. The log is appPath +
  // "Logs/Log.dat"; the previous one, once it has grown too large, "Logs/Log.old".
  void WriteLog(std::string text);

 private:
  Shell& shell_;
};

}  // namespace tdwk
