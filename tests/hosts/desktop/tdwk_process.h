#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "support/temp_folder.h"
#include "test_movies.h"

namespace tdwk::test {

// Long enough for a movie to load and play on a busy machine.
inline constexpr std::chrono::seconds kMovieTime{60};

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

  // One child, whose home menu asks for the game as soon as it has its welcome, and whose
  // game goes back home at once: every screen change reports "tdwk_test_frame" "0" on swfMain.
  void WriteHomeAndGameLoop();

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
  // Waits until a line after the given index matches; its index, or nothing.
  std::optional<std::size_t> WaitForLineAfter(
      std::size_t after, const std::function<bool(const nlohmann::json&)>& match,
      std::chrono::milliseconds timeout);
  // Waits until the trace holds at least count lines holding every field of the pattern.
  bool WaitForCount(const nlohmann::json& pattern, std::size_t count,
                    std::chrono::milliseconds timeout);
  std::optional<std::size_t> WaitForCommand(const std::string& control, const std::string& command,
                                            const std::string& args,
                                            std::chrono::milliseconds timeout);
  // Standard error and the trace as written, for failure messages.
  std::string Errors() const;
  // Waits until standard error holds the text.
  bool WaitForError(const std::string& text, std::chrono::milliseconds timeout) const;
  // The largest resident memory tdwk has had so far, in KiB; nothing when it is not running.
  std::optional<long> PeakMemoryKib() const;
  pid_t Pid() const { return pid_; }
  // The processes tdwk started, at any depth (its web process among them), with their names.
  std::vector<std::pair<pid_t, std::string>> Descendants() const;
  // The resident memory of tdwk's web processes, in KiB.
  long WebProcessMemoryKib() const;
  // The part of it that the players' own memory holds (their WebAssembly memory), in KiB.
  long PlayersMemoryKib() const;
  // The processor time tdwk and every process it started have used, in seconds.
  double ProcessorSeconds() const;

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
  // The trace's whole lines so far: the waits ask many times a second while a long run writes
  // thousands of lines, so only what was appended since the last look is read.
  const std::vector<nlohmann::json>& TraceSoFar() const;
  std::optional<std::size_t> WaitForLineFrom(
      std::size_t first, const std::function<bool(const nlohmann::json&)>& match,
      std::chrono::milliseconds timeout);

  TempFolder output_;
  pid_t pid_ = -1;
  mutable std::vector<nlohmann::json> traceLines_;
  mutable std::uintmax_t traceBytesRead_ = 0;
};

// Matches a trace line holding every field of the pattern.
bool Matches(const nlohmann::json& line, const nlohmann::json& pattern);

}  // namespace tdwk::test
