#pragma once

#include <gtest/gtest.h>

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

namespace tdwk::test {

// A shell over a fresh application folder (with Users, High Scores and Logs), fake windows
// and a clock fixed at 3 May 2004 09:15:42.
class ShellTest : public ::testing::Test {
 protected:
  ShellTest()
      : files(folder.Path()),
        clock(std::chrono::local_days{std::chrono::year{2004} / 5 / 3} + std::chrono::hours{9} +
              std::chrono::minutes{15} + std::chrono::seconds{42}) {
    folder.MakeFolder("Users");
    folder.MakeFolder("High Scores");
    folder.MakeFolder("Logs");
  }

  // The shell as Main leaves it before showing the window, and the window loaded; over
  // another file system (one that wraps files) when given.
  Shell& StartedShell(FileSystem* over = nullptr) {
    Shell& s = NewShell("", over);
    s.state.appPath = folder.Path();
    s.state.subclassedWindows.emplace();
    s.frmTDWK.Create();
    host.ShowModal(s.frmTDWK);
    calls.clear();
    return s;
  }

  Shell& NewShell(std::string commandLine = "", FileSystem* over = nullptr) {
    platform = std::make_unique<Platform>(
        Platform{host, host.playerWindows(), over != nullptr ? *over : files, clock, locale,
                 codePage, lock, folder.Path(), std::move(commandLine)});
    shell = std::make_unique<Shell>(*platform);
    return *shell;
  }

  TestPlayer& Main() { return host.Control("swfMain"); }
  std::string Log() const { return folder.ReadFile("Logs/Log.dat"); }

  TempFolder folder;
  CallLog calls;
  TestConsoleHost host{calls};
  PosixFileSystem files;
  FixedClock clock;
  BritishLocale locale;
  Windows1252CodePage codePage;
  FakeInstanceLock lock;
  std::unique_ptr<Platform> platform;
  std::unique_ptr<Shell> shell;
};

}  // namespace tdwk::test
