#include "fuzz_support.h"

#include <cstdlib>

namespace tdwk::fuzzing {

namespace {
// Temporary folders on a memory file system keep thousands of runs a second affordable.
bool PreferMemoryTemporaryFolder() {
  if (std::getenv("TMPDIR") == nullptr) ::setenv("TMPDIR", "/dev/shm", 0);
  return true;
}
const bool kMemoryFolder = PreferMemoryTemporaryFolder();
}  // namespace

FuzzApp::FuzzApp()
    : appPath_(outer_.Path() + "app/"),
      files_(appPath_),
      clock_(std::chrono::local_days{std::chrono::year{2026} / 12 / 9} + std::chrono::hours{18}) {
  (void)kMemoryFolder;
  outer_.MakeFolder("app/Users");
  outer_.MakeFolder("app/High Scores");
  outer_.MakeFolder("app/Logs");
}

FuzzShell::FuzzShell() {
  platform_ = std::make_unique<Platform>(PlatformFor(host_));
  shell_ = std::make_unique<Shell>(*platform_);
  shell_->state.appPath = AppPath();
  shell_->state.subclassedWindows.emplace();
  shell_->frmTDWK.Create();
  host_.ShowModal(shell_->frmTDWK);
}

}  // namespace tdwk::fuzzing
