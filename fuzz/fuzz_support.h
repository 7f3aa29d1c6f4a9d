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

namespace tdwk::fuzzing {

class NoOtherCopy : public InstanceLock {
 public:
  bool TryAcquire(const std::string&) override { return true; }
};

// A shell over a fresh application folder with its window loaded, as after start-up. The
// application folder is "app/" inside a temporary folder of its own (below /dev/shm where it
// exists, so that each input costs little), so that what lies beside it can be watched.
class FuzzShell {
 public:
  FuzzShell();

  Shell& shell() { return *shell_; }
  testing::FakeWindowHost& host() { return host_; }
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
  testing::TempFolder outer_;
  std::string appPath_;
  testing::CallLog calls_;
  testing::FakeWindowHost host_{calls_};
  PosixFileSystem files_;
  FixedClock clock_;
  testing::BritishLocale locale_;
  Windows1252CodePage codePage_;
  NoOtherCopy lock_;
  std::unique_ptr<Platform> platform_;
  std::unique_ptr<Shell> shell_;
};

}  // namespace tdwk::fuzzing
