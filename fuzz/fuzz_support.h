#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "platform/posix.h"
#include "shell/shell.h"
#include "support/fakes.h"
#include "support/temp_folder.h"

namespace tdwk::fuzzing {

class NoOtherCopy : public InstanceLock {
 public:
  bool TryAcquire(const std::string&) override { return true; }
};

// A shell over a fresh application folder with its window loaded, as after start-up; the
// folder lives below /dev/shm where it exists, so that each input costs little.
class FuzzShell {
 public:
  FuzzShell();

  Shell& shell() { return *shell_; }
  testing::FakeWindowHost& host() { return host_; }
  const std::string& AppPath() const { return folder_.Path(); }
  testing::TempFolder& Folder() { return folder_; }

 private:
  testing::TempFolder folder_;
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
