#pragma once

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "support/temp_folder.h"
#include "test_movies.h"

namespace tdwk::test {

// An application folder with a copy of tdwk, its page and player, the data folders and
// test movies; runs tdwk on the test display and reads its trace as it is written.
class TdwkApp {
 public:
  TdwkApp();
  ~TdwkApp();
  TdwkApp(const TdwkApp&) = delete;
  TdwkApp& operator=(const TdwkApp&) = delete;

  const std::string& Path() const { return folder_.Path(); }
  TempFolder& Folder() { return folder_; }
  void WriteMovie(const std::string& relative, const TestMovie& movie) const;
  // The four movies Form_Load starts, the introduction sending these commands.
  void WriteStartMovies(const std::vector<std::pair<std::string, std::string>>& introCommands);

  // Starts tdwk (LC_ALL=C unless given; trace and stderr go to files outside the folder).
  void Start(const std::vector<std::string>& args = {},
             const std::map<std::string, std::string>& environment = {});
  // The exit status, once the process has ended within the time; nothing otherwise.
  std::optional<int> WaitForExit(std::chrono::milliseconds timeout);
  bool Running();
  void Kill();

  // The trace so far, one object a line.
  std::vector<nlohmann::json> Trace() const;
  // Waits until a trace line matches; the index of the first match, or nothing.
  std::optional<std::size_t> WaitForLine(const std::function<bool(const nlohmann::json&)>& match,
                                         std::chrono::milliseconds timeout);
  std::optional<std::size_t> WaitForCommand(const std::string& control, const std::string& command,
                                            const std::string& args,
                                            std::chrono::milliseconds timeout);
  // Standard error and the trace as written, for failure messages.
  std::string Errors() const;

  // Runs another copy over the same folder to its end; its status (nothing when it did not
  // end within the time) and its trace.
  struct Run {
    std::optional<int> status;
    std::vector<nlohmann::json> trace;
  };
  Run RunAnotherCopy(std::chrono::milliseconds timeout);

  // Asks the window to close, as the window system's close command does.
  bool CloseWindow() const;

 private:
  TempFolder folder_;
  pid_t Spawn(const std::string& trace, const std::vector<std::string>& args,
              const std::map<std::string, std::string>& environment) const;
  static std::vector<nlohmann::json> ReadTrace(const std::string& file);

  TempFolder output_;
  pid_t pid_ = -1;
};

// Matches a trace line holding every field of the pattern.
bool Matches(const nlohmann::json& line, const nlohmann::json& pattern);

}  // namespace tdwk::test
