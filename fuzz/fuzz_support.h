#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "platform/code_page_posix.h"
#include "platform/file_system_posix.h"
#include "platform/fixed_clock.h"
#include "shell/shell.h"
#include "support/fakes.h"
#include "support/temp_folder.h"
#include "support/test_console_host.h"

namespace tdwk::fuzzing {

// A fresh application folder and the ports a shell needs over it, but for the window. The
// application folder is "app/" inside a temporary folder of its own (below /dev/shm where it
// exists, so that each input costs little), so that what lies beside it can be watched.
class FuzzApp {
 public:
  FuzzApp();

  Platform PlatformFor(WindowHost& window, PlayerWindows& playerWindows) {
    return Platform{window, playerWindows, files_, clock_, locale_, codePage_, lock_, appPath_, ""};
  }
  Platform PlatformFor(ConsoleHost& host) { return PlatformFor(host, host.playerWindows()); }

  const std::string& AppPath() const { return appPath_; }
  // The folder that holds the application folder.
  const std::string& OuterPath() const { return outer_.Path(); }
  // Files below the application folder.
  void WriteFile(const std::string& relative, const std::string& bytes) const {
    outer_.WriteFile("app/" + relative, bytes);
  }
  std::string ReadFile(const std::string& relative) const {
    return outer_.ReadFile("app/" + relative);
  }

 private:
  test::TempFolder outer_;
  std::string appPath_;
  PosixFileSystem files_;
  FixedClock clock_;
  test::BritishLocale locale_;
  Windows1252CodePage codePage_;
  test::FakeInstanceLock lock_;
};

// A shell over a fresh application folder with its window loaded, as after start-up.
class FuzzShell : public FuzzApp {
 public:
  FuzzShell();

  Shell& shell() { return *shell_; }
  test::TestConsoleHost& host() { return host_; }

 private:
  test::CallLog calls_;
  test::TestConsoleHost host_{calls_};
  std::unique_ptr<Platform> platform_;
  std::unique_ptr<Shell> shell_;
};

}  // namespace tdwk::fuzzing
